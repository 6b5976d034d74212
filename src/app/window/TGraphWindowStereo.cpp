// The window's stereo items and the animation export.
#include <QApplication>
#include <algorithm>

#include "app/commands/StereoCommands.h"
#include "app/window/ExportAnimationDialog.h"
#include "app/window/TGraphWindow.h"
#include "input/dialogs/TProgressBarForm.h"

namespace ocuvis {

void TGraphWindow::ConnectStereoCommands() {
    stereoMenus_ = BuildStereoMenus(menus_);
    const StereoMenus& s = stereoMenus_;
    GraphCommands& c = document_->commands;
    for (std::size_t i = 0; i < s.viewItems.size(); ++i) {
        const auto type = static_cast<ViewType>(static_cast<int>(ViewType::RedCyan) + i);
        On(s.viewItems[i], [&c, type] { c.SelectViewType(type); });
    }
    const auto stereo = [this](void (StereoCommands::*command)()) {
        return [this, command] { (StereoCommands(document_->view, gate_).*command)(); };
    };
    On(s.swapEyesItem, stereo(&StereoCommands::SwapEyesClick));
    On(s.widerItem, stereo(&StereoCommands::WiderEyesClick));
    On(s.narrowerItem, stereo(&StereoCommands::NarrowerEyesClick));
    On(s.usualItem, stereo(&StereoCommands::UsualEyesClick));
    for (const AnaglyphMethod method : {AnaglyphMethod::Optimised, AnaglyphMethod::Plain}) {
        On(s.anaglyphItems[static_cast<std::size_t>(method)],
           [this, method] { StereoCommands(document_->view, gate_).SelectAnaglyphMethod(method); });
    }
    connect(s.exportAnimationItem, &QAction::triggered, this,
            [this] { ExportAnimationItemClick(); });
}

void TGraphWindow::ExportAnimationItemClick() {
    ExportAnimationDialog dialog(this);
    if (dialogs_->RunModal(dialog) != QDialog::Accepted) return;
    AnimationRequest request = dialog.Request();
    // What the paint area shows now, at its size.
    request.size = {std::max(1, GraphBoxWidget->width()), std::max(1, GraphBoxWidget->height())};
    const TitleTexts titles = document_->CurrentTitles();
    const GraphViewState view = document_->view;
    const FrameSources sources{view, document_->graph, *document_->store, titles};
    FrameRenderer renderer;
    TProgressBarForm progress(progressPosition_, 0);
    progress.setWindowTitle("Export Animation");
    const AnimationOutcome outcome =
        ExportAnimation(renderer, sources, request, [&progress](int done, int total) {
            progress.ShowProgress(done * 100 / total,
                                  QString("Frame %1 of %2").arg(done).arg(total));
            return !progress.abortPressed();
        });
    progress.hide();
    if (outcome.failure) {
        dialogs_->ShowMessage(
            "Cannot write " + request.path.toStdString() + ":\n" + outcome.failure->toStdString(),
            "Export Animation", MessageIcon::Stop);
    }
}

}  // namespace ocuvis
