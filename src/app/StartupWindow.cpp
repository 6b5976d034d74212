#include "StartupWindow.h"

#include <QStatusBar>
#include <QVBoxLayout>

namespace ocuvis {

StartupWindow::StartupWindow(const std::string& argumentText)
    : msgLabel_(new QLabel(this)), summary_(new QLabel(this)) {
    setWindowTitle(QString::fromStdString(kApplicationTitle));
    resize(790, 364);
    summary_->setAlignment(Qt::AlignCenter);
    setCentralWidget(summary_);
    msgLabel_->setMinimumWidth(163);
    statusBar()->addWidget(msgLabel_);

    document_ = std::make_unique<ViewerDocument>(static_cast<LoadDisplay&>(*this));
    const std::string startupFile = document_->StartupFile(argumentText);
    document_->store->pointCount = document_->loader.LoadDataFile(startupFile);
    document_->gate.RedrawGraph();
    document_->gate.viewReady = true;

    const PointStore& store = *document_->store;
    summary_->setText(
        QStringLiteral("%1\n\n%2 records, %3 labels%4")
            .arg(QString::fromLocal8Bit(document_->view.dataFileName.c_str()))
            .arg(store.pointCount)
            .arg(store.labelCount)
            .arg(store.defaultDataLoaded ? QStringLiteral(" (built-in data set)") : QString()));
}

QString StartupWindow::statusText() const {
    return msgLabel_->text();
}

void StartupWindow::SetCaption(const std::string& caption) {
    setWindowTitle(QString::fromLocal8Bit(caption.c_str()));
}

void StartupWindow::SetStatusText(const std::string& text) {
    msgLabel_->setText(QString::fromStdString(text));
}

}  // namespace ocuvis
