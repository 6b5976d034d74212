#pragma once

#include <QLabel>
#include <QMainWindow>
#include <memory>
#include <string>

#include "AppServices.h"

namespace ocuvis {

// The window shown until the full main window exists: it loads the start-up file and shows the
// caption and the status text of the load.
class StartupWindow final : public QMainWindow, private LoadDisplay {
    Q_OBJECT
  public:
    explicit StartupWindow(const std::string& argumentText);

    const ViewerDocument& document() const { return *document_; }
    QString statusText() const;

  private:
    void SetCaption(const std::string& caption) override;
    void SetStatusText(const std::string& text) override;

    QLabel* msgLabel_;
    QLabel* summary_;
    std::unique_ptr<ViewerDocument> document_;
};

}  // namespace ocuvis
