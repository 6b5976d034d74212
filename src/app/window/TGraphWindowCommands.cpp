// The main window's bindings: every menu item, tool button and scroll bar to its command, and
// the one step that brings the controls in line with the view state afterwards.
#include <QSignalBlocker>

#include "TAboutBox.h"
#include "TFileFormat.h"
#include "TGraphTitles.h"
#include "TGraphWindow.h"

namespace ocuvis {

namespace {

// The colour dialog as the colour commands see it.
class DialogColourChooser final : public ColourChooser {
  public:
    DialogColourChooser(WindowDialogs& dialogs, QWidget* parent)
        : dialogs_(dialogs), parent_(parent) {}
    std::optional<Colour> ChooseColour() override { return dialogs_.ChooseColour(parent_); }

  private:
    WindowDialogs& dialogs_;
    QWidget* parent_;
};

void Check(QAction* action, bool on) {
    if (action->isChecked() != on) action->setChecked(on);
}

void Down(QAbstractButton* button, bool on) {
    if (button->isChecked() != on) button->setChecked(on);
}

void Position(QScrollBar* bar, int value) {
    const QSignalBlocker block(bar);
    bar->setValue(value);
}

}  // namespace

void TGraphWindow::ConnectCommands() {
    MainMenus& m = menus_;
    GraphCommands& c = document_->commands;
    RotationControl& r = document_->rotation;
    const auto on = [this](QAction* action, std::function<void()> command) {
        connect(action, &QAction::triggered, this, [this, command] { Run(command); });
    };
    const auto click = [this](QAbstractButton* button, std::function<void()> command) {
        connect(button, &QAbstractButton::clicked, this, [this, command] { Run(command); });
    };

    on(m.SetFormatItem, [this] { SetFormatItemClick(); });
    click(m.FileSetupSpdBtn, [this] { SetFormatItemClick(); });
    on(m.OpenItem, [this] { OpenFromDialog(); });
    click(m.FileOpenSpdBtn, [this] { OpenFromDialog(); });
    for (QAction* reopen : {m.ReOpenItem, m.ReOpen})
        on(reopen, [this] { document_->ReOpen(); });
    click(m.FileReOpenSpdBtn, [this] { document_->ReOpen(); });
    on(m.ExitItem, [this] { close(); });

    // Output: none of these changes the view or redraws.
    for (QAction* save : {m.SaveItem, m.SaveGraph})
        on(save, [this] { output_.SaveItemClick(this, frameBitmap()); });
    for (QAction* copy : {m.CopyGraphItem, m.CopyToClipboard})
        on(copy, [this] { output_.CopyToClipboardClick(frameBitmap()); });
    for (QAction* print : {m.PrintItem, m.PrintGraph})
        on(print, [this] { output_.PrintItemClick(*this); });
    for (QAction* setup : {m.PrintSetupItem, m.PrinterSetup})
        on(setup, [this] { output_.PrintSetupItemClick(this); });
    for (QAction* titles : {m.TitlesEditItem, m.TitlesEdit})
        on(titles, [this] { TitlesEditItemClick(); });

    const std::array<QAction*, 6> editColours = {
        m.DotsColorSetupItem, m.LinesColorSetupItem,     m.GridColorSetupItem,
        m.TextColorSetupItem, m.BackgoundColorSetupItem, m.DefaultColorsSetupItem};
    const std::array<QAction*, 6> popupColours = {m.DotsColorSetup,       m.LinesColorSetup,
                                                  m.GridColorSetup,       m.TextColorSetup,
                                                  m.BackgroundColorSetup, m.DefaultColorsSetup};
    using ColourCommandPtr = void (GraphCommands::*)(ColourChooser&);
    const std::array<ColourCommandPtr, 5> colourCommands = {
        &GraphCommands::DotsColorSetupItemClick, &GraphCommands::LinesColorSetupItemClick,
        &GraphCommands::GridColorSetupItemClick, &GraphCommands::TextColorSetupItemClick,
        &GraphCommands::BackgoundColorSetupItemClick};
    for (const auto& items : {editColours, popupColours}) {
        for (std::size_t i = 0; i < colourCommands.size(); ++i)
            on(items[i], [this, command = colourCommands[i]] { ColourCommand(command); });
        on(items[5], [&c] { c.DefaultColorsSetupItemClick(); });
    }

    for (std::size_t i = 0; i < m.viewItems.size(); ++i) {
        const auto type = static_cast<ViewType>(i);
        on(m.viewItems[i], [&c, type] { c.SelectViewType(type); });
        click(m.viewButtons[i], [&c, type] { c.SelectViewType(type); });
    }
    on(m.ModeIndicatorItem, [&c] { c.ModeIndicatorItemClick(); });
    click(m.ModeIndicatorSpdBtn, [&c] { c.ModeIndicatorItemClick(); });

    for (std::size_t n = 0; n < m.LinesPixel.size(); ++n)
        on(m.LinesPixel[n], [&c, n] { c.LinesPixelClick(static_cast<int>(n)); });
    for (std::size_t n = 0; n < m.GridPixel.size(); ++n)
        on(m.GridPixel[n], [&c, n] { c.GridPixelClick(static_cast<int>(n)); });
    for (std::size_t n = 0; n < m.PointsPixel.size(); ++n)
        on(m.PointsPixel[n], [&c, n] { c.PointsPixelClick(static_cast<int>(n)); });
    click(m.LinesSpdBtn, [&c] { c.LinesSpdBtnClick(); });
    click(m.GridSpdBtn, [&c] { c.GridSpdBtnClick(); });
    click(m.PointsSpdBtn, [&c] { c.PointsSpdBtnClick(); });
    on(m.FullGrid, [&c] { c.FullGridClick(); });
    click(m.FullGridSpdBtn, [&c] { c.FullGridClick(); });
    on(m.AxisLabels, [&c] { c.AxisLabelsClick(); });
    click(m.AxisLabelsSpdBtn, [&c] { c.AxisLabelsClick(); });
    on(m.TitlesItem, [&c] { c.TitlesItemClick(); });
    click(m.TitlesSpdBtn, [&c] { c.TitlesItemClick(); });
    on(m.TextLabelsItem, [&c] { c.TextLabelsItemClick(); });
    click(m.TextLabelsSpdBtn, [&c] { c.TextLabelsItemClick(); });
    on(m.FadeItem, [&c] { c.FadeItemClick(); });
    click(m.FadeLinesSpdBtn, [&c] { c.FadeItemClick(); });

    on(m.AutoScaleItem, [&c] { c.AutoScaleItemClick(); });
    click(m.AutoScaleBtn, [&c] { c.AutoScaleItemClick(); });
    on(m.ZInvertItem, [&c] { c.ZInvertItemClick(); });
    connect(m.ZInvertSpdBtn, &QAbstractButton::clicked, this,
            [this, &c](bool down) { Run([&c, down] { c.ZInvertSpdBtnClick(down); }); });
    connect(m.AspectRatioSpdBtn, &QAbstractButton::clicked, this, [this](bool down) {
        Run([this, down] {
            document_->view.fixedAspect = down;
            ApplyFixedAspect(1.0f);
        });
    });

    on(m.AzimuthItem, [&r] { r.AzimuthItemClick(); });
    click(m.RotateAzimuthSpdBtn, [&r] { r.AzimuthItemClick(); });
    on(m.ElevationItem, [&r] { r.ElevationItemClick(); });
    click(m.RotateElevationSpdBtn, [&r] { r.ElevationItemClick(); });
    on(m.FasterItem, [&r] { r.FasterItemClick(); });
    click(m.FasterSpdBtn, [&r] { r.FasterItemClick(); });
    on(m.SlowerItem, [&r] { r.SlowerItemClick(); });
    click(m.SlowerSpdBtn, [&r] { r.SlowerItemClick(); });
    for (std::size_t i = 0; i < m.Sec.size(); ++i)
        on(m.Sec[i], [&r, i] { r.SecClick(static_cast<int>(i)); });

    on(m.HelpItem, [this] {
        dialogs_->ShowMessage(
            "Not much help.\n\nIn fact, no help.\n\nEither you figure out on your own how to use "
            "the intuitive controls or you e-mail me.\n\n- Orlen",
            "Ocuvis Help?", MessageIcon::Information);
    });
    on(m.AboutItem, [this] { aboutBox_->exec(); });
}

void TGraphWindow::ConnectScrollBars() {
    GraphScaling& s = document_->scaling;
    const auto bind = [this](QScrollBar* bar, std::function<void(int)> set) {
        connect(bar, &QScrollBar::valueChanged, this,
                [this, set](int value) { Run([&] { set(value); }); });
    };
    bind(XRangeScrollBar, [&s](int v) { s.SetXRangePosition(v); });
    bind(YRangeScrollBar, [&s](int v) { s.SetYRangePosition(v); });
    bind(ZRangeScrollBar, [&s](int v) { s.SetZRangePosition(v); });
    bind(XOffsetScrollBar, [&s](int v) { s.SetXOffsetPosition(v); });
    bind(YOffsetScrollBar, [&s](int v) { s.SetYOffsetPosition(v); });
    bind(ZOffsetScrollBar, [&s](int v) { s.SetZOffsetPosition(v); });
    bind(ElevationScrollBar, [&s](int v) { s.SetElevation(v); });
    bind(AzimuthScrollBar, [&s](int v) { s.SetAzimuth(v); });
    // The user working a bar stops that axis's rotation; the new position follows. The action
    // signal comes before the bar takes its new position, and the sync after the stop would
    // put the old one back: the position the action chose is kept across it.
    const auto scroll = [this](QScrollBar* bar, void (RotationControl::*stop)()) {
        connect(bar, &QAbstractSlider::actionTriggered, this, [this, bar, stop] {
            const int chosen = bar->sliderPosition();
            Run([this, stop] { (document_->rotation.*stop)(); });
            bar->setSliderPosition(chosen);
        });
    };
    scroll(AzimuthScrollBar, &RotationControl::AzimuthScrollBarScroll);
    scroll(ElevationScrollBar, &RotationControl::ElevationScrollBarScroll);
}

void TGraphWindow::RebuildRecentFiles() {
    for (QAction* action : recentActions_) {
        menus_.FileMenu->removeAction(action);
        action->deleteLater();
    }
    recentActions_.clear();
    for (const RecentEntry& entry : document_->recentFiles.entries()) {
        QString caption = QString::fromLocal8Bit(entry.caption.c_str());
        caption.replace('&', "&&");
        auto* action = new QAction(caption, menus_.FileMenu);
        action->setObjectName(QString::fromStdString(entry.itemName()));
        const std::string name = entry.itemName();
        connect(action, &QAction::triggered, this,
                [this, name] { Run([this, name] { document_->recentFiles.Click(name); }); });
        menus_.FileMenu->addAction(action);
        recentActions_.push_back(action);
    }
}

void TGraphWindow::OpenFromDialog() {
    const std::string path = dialogs_->ChooseDataFile(this);
    if (!path.empty()) document_->OpenDataFile(path);
}

void TGraphWindow::ColourCommand(void (GraphCommands::*command)(ColourChooser&)) {
    DialogColourChooser chooser(*dialogs_, this);
    (document_->commands.*command)(chooser);
}

void TGraphWindow::SetFormatItemClick() {
    if (document_->loader.table3dFile) {
        dialogs_->ShowMessage(
            "The 3D file is in Table3D format, this requires fixed input processing\nand cannot "
            "be customized in the File Input Setup window.",
            "Ocuvis Error Message", MessageIcon::Stop);
        return;
    }
    const std::string current = document_->view.dataFileName;
    if (const auto failure = fileInput_.LoadExampleRecord(current)) {
        dialogs_->ShowMessage(*failure, "Ocuvis Error Message", MessageIcon::Stop);
        return;
    }
    if (dialogs_->RunModal(*fileFormatDialog_) != QDialog::Accepted) {
        dialogs_->MessageBeep(BeepKind::Hand);
        fileInput_.ShowFields();
        return;
    }
    dialogs_->MessageBeep(BeepKind::Asterisk);
    fileInput_.ApplyControls();
    // The dialog may have read its example from another file: that one is loaded then.
    const std::string chosen = fileInput_.controls.FileNameLabel;
    document_->OpenDataFile(chosen.empty() ? current : chosen);
}

void TGraphWindow::TitlesEditItemClick() {
    if (dialogs_->RunModal(*titlesDialog_) != QDialog::Accepted) return;
    document_->view.titles = true;
    gate_.RedrawGraph();
}

void TGraphWindow::SyncControls() {
    if (!document_) return;
    const GraphViewState& v = document_->view;
    MainMenus& m = menus_;

    for (std::size_t i = 0; i < m.viewItems.size(); ++i) {
        const bool selected = static_cast<std::size_t>(v.viewType) == i;
        Check(m.viewItems[i], selected);
        Down(m.viewButtons[i], selected);
    }
    const std::pair<QAction*, QAbstractButton*> toggles[] = {
        {m.ModeIndicatorItem, m.ModeIndicatorSpdBtn},
        {m.AxisLabels, m.AxisLabelsSpdBtn},
        {m.TitlesItem, m.TitlesSpdBtn},
        {m.TextLabelsItem, m.TextLabelsSpdBtn},
        {m.FadeItem, m.FadeLinesSpdBtn},
        {m.FullGrid, m.FullGridSpdBtn},
        {m.ZInvertItem, m.ZInvertSpdBtn},
        {m.AzimuthItem, m.RotateAzimuthSpdBtn},
        {m.ElevationItem, m.RotateElevationSpdBtn}};
    const bool values[] = {v.modeIndicator, v.axisLabels,    v.titles,
                           v.textLabels,    v.fadeLines,     v.fullBoxGrid,
                           v.zInvert,       v.rotateAzimuth, v.rotateElevation};
    for (std::size_t i = 0; i < std::size(toggles); ++i) {
        Check(toggles[i].first, values[i]);
        Down(toggles[i].second, values[i]);
    }
    Down(m.AspectRatioSpdBtn, v.fixedAspect);

    Check(m.LinesItem->menuAction(), v.lineThickness != 0);
    Check(m.GridItem->menuAction(), v.gridThickness != 0);
    Check(m.Points->menuAction(), v.pointSize != 0);
    for (std::size_t n = 0; n < m.LinesPixel.size(); ++n)
        Check(m.LinesPixel[n], static_cast<int>(n) == v.linesPixelItem);
    for (std::size_t n = 0; n < m.GridPixel.size(); ++n)
        Check(m.GridPixel[n], static_cast<int>(n) == v.gridPixelItem);
    for (std::size_t n = 0; n < m.PointsPixel.size(); ++n)
        Check(m.PointsPixel[n], static_cast<int>(n) == v.pointsPixelItem);
    for (std::size_t i = 0; i < m.Sec.size(); ++i)
        Check(m.Sec[i], static_cast<int>(i) == v.rotateSpeedIndex);
    if (RotateTimer != nullptr && RotateTimer->interval() != v.rotateDelay)
        RotateTimer->setInterval(v.rotateDelay);

    Position(XRangeScrollBar, v.xRangePosition);
    Position(YRangeScrollBar, v.yRangePosition);
    Position(ZRangeScrollBar, v.zRangePosition);
    Position(XOffsetScrollBar, v.xOffsetPosition);
    Position(YOffsetScrollBar, v.yOffsetPosition);
    Position(ZOffsetScrollBar, v.zOffsetPosition);
    Position(ElevationScrollBar, v.elevation);
    Position(AzimuthScrollBar, v.azimuth);
    ElevationLabel->setText(AngleText("Elev ", v.elevation));
    AzimuthLabel->setText(AngleText("Azim ", v.azimuth));
}

}  // namespace ocuvis
