// The main window's bindings: every menu item, tool button and scroll bar to its command, and
// the one step that brings the controls in line with the view state afterwards.
#include <QInputDialog>
#include <QSignalBlocker>

#include "app/window/TAboutBox.h"
#include "app/window/TGraphWindow.h"
#include "input/dialogs/TFileFormat.h"
#include "settings/dialogs/TGraphTitles.h"

namespace ocuvis {

namespace {

// The colour dialog as the colour commands see it.
class DialogColorChooser final : public ColorChooser {
  public:
    DialogColorChooser(WindowDialogs& dialogs, QWidget* parent)
        : dialogs_(dialogs), parent_(parent) {}
    std::optional<Colour> ChooseColor() override { return dialogs_.ChooseColour(parent_); }

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

void TGraphWindow::On(QAction* action, const std::function<void()>& command) {
    connect(action, &QAction::triggered, this, [this, command] { Run(command); });
}

void TGraphWindow::OnClick(QAbstractButton* button, const std::function<void()>& command) {
    connect(button, &QAbstractButton::clicked, this, [this, command] { Run(command); });
}

void TGraphWindow::ConnectCommands() {
    ConnectFileCommands();
    ConnectColorCommands();
    ConnectPlotCommands();
    ConnectScaleAndRotationCommands();
    ConnectStereoCommands();
    const MainMenus& m = menus_;
    On(m.HelpItem, [this] {
        dialogs_->ShowMessage(
            "Not much help.\n\nIn fact, no help.\n\nEither you figure out on your own how to use "
            "the intuitive controls or you e-mail me.\n\n- Orlen",
            "Ocuvis Help?", MessageIcon::Information);
    });
    On(m.AboutItem, [this] { aboutBox_->exec(); });
}

void TGraphWindow::ConnectFileCommands() {
    const MainMenus& m = menus_;
    On(m.SetFormatItem, [this] { SetFormatItemClick(); });
    OnClick(m.FileSetupSpdBtn, [this] { SetFormatItemClick(); });
    On(m.OpenItem, [this] { OpenFromDialog(); });
    OnClick(m.FileOpenSpdBtn, [this] { OpenFromDialog(); });
    for (QAction* reopen : {m.ReOpenItem, m.ReOpen})
        On(reopen, [this] { document_->ReOpen(); });
    OnClick(m.FileReOpenSpdBtn, [this] { document_->ReOpen(); });
    On(m.ExitItem, [this] { close(); });

    // Output: none of these changes the view; a moving subset on screen is drawn whole first.
    for (QAction* save : {m.SaveItem, m.SaveGraph})
        On(save, [this] { output_.SaveItemClick(this, wholeFrameBitmap()); });
    for (QAction* copy : {m.CopyGraphItem, m.CopyToClipboard})
        On(copy, [this] { output_.CopyToClipboardClick(wholeFrameBitmap()); });
    for (QAction* print : {m.PrintItem, m.PrintGraph}) {
        On(print, [this] {
            wholeFrameBitmap();
            output_.PrintItemClick(*this);
        });
    }
    for (QAction* setup : {m.PrintSetupItem, m.PrinterSetup})
        On(setup, [this] { output_.PrintSetupItemClick(this); });
    for (QAction* titles : {m.TitlesEditItem, m.TitlesEdit})
        On(titles, [this] { TitlesEditItemClick(); });
}

void TGraphWindow::ConnectColorCommands() {
    const MainMenus& m = menus_;
    GraphCommands& c = document_->commands;
    const std::array<QAction*, 6> editColorItems = {
        m.DotsColorSetupItem, m.LinesColorSetupItem,     m.GridColorSetupItem,
        m.TextColorSetupItem, m.BackgoundColorSetupItem, m.DefaultColorsSetupItem};
    const std::array<QAction*, 6> popupColorItems = {m.DotsColorSetup,       m.LinesColorSetup,
                                                     m.GridColorSetup,       m.TextColorSetup,
                                                     m.BackgroundColorSetup, m.DefaultColorsSetup};
    using ColorCommandPtr = void (GraphCommands::*)(ColorChooser&);
    const std::array<ColorCommandPtr, 5> colorCommands = {
        &GraphCommands::DotsColorSetupItemClick, &GraphCommands::LinesColorSetupItemClick,
        &GraphCommands::GridColorSetupItemClick, &GraphCommands::TextColorSetupItemClick,
        &GraphCommands::BackgoundColorSetupItemClick};
    for (const auto& items : {editColorItems, popupColorItems}) {
        for (std::size_t i = 0; i < colorCommands.size(); ++i)
            On(items[i], [this, command = colorCommands[i]] { ColorCommand(command); });
        On(items[5], [&c] { c.DefaultColorsSetupItemClick(); });
    }
}

void TGraphWindow::ConnectPlotCommands() {
    const MainMenus& m = menus_;
    GraphCommands& c = document_->commands;
    for (std::size_t i = 0; i < m.viewItems.size(); ++i) {
        const auto type = static_cast<ViewType>(i);
        On(m.viewItems[i], [&c, type] { c.SelectViewType(type); });
        OnClick(m.viewButtons[i], [&c, type] { c.SelectViewType(type); });
    }
    On(m.ModeIndicatorItem, [&c] { c.ModeIndicatorItemClick(); });
    OnClick(m.ModeIndicatorSpdBtn, [&c] { c.ModeIndicatorItemClick(); });

    for (std::size_t n = 0; n < m.LinesPixel.size(); ++n)
        On(m.LinesPixel[n], [&c, n] { c.LinesPixelClick(static_cast<int>(n)); });
    for (std::size_t n = 0; n < m.GridPixel.size(); ++n)
        On(m.GridPixel[n], [&c, n] { c.GridPixelClick(static_cast<int>(n)); });
    for (std::size_t n = 0; n < m.PointsPixel.size(); ++n)
        On(m.PointsPixel[n], [&c, n] { c.PointsPixelClick(static_cast<int>(n)); });
    OnClick(m.LinesSpdBtn, [&c] { c.LinesSpdBtnClick(); });
    OnClick(m.GridSpdBtn, [&c] { c.GridSpdBtnClick(); });
    OnClick(m.PointsSpdBtn, [&c] { c.PointsSpdBtnClick(); });
    On(m.FullGrid, [&c] { c.FullGridClick(); });
    OnClick(m.FullGridSpdBtn, [&c] { c.FullGridClick(); });
    On(m.AxisLabels, [&c] { c.AxisLabelsClick(); });
    OnClick(m.AxisLabelsSpdBtn, [&c] { c.AxisLabelsClick(); });
    On(m.TitlesItem, [&c] { c.TitlesItemClick(); });
    OnClick(m.TitlesSpdBtn, [&c] { c.TitlesItemClick(); });
    On(m.TextLabelsItem, [&c] { c.TextLabelsItemClick(); });
    OnClick(m.TextLabelsSpdBtn, [&c] { c.TextLabelsItemClick(); });
    On(m.FadeItem, [&c] { c.FadeItemClick(); });
    OnClick(m.FadeLinesSpdBtn, [&c] { c.FadeItemClick(); });
    On(m.DepthShadeItem, [&c] { c.DepthShadeClick(); });
    OnClick(m.DepthShadeSpdBtn, [&c] { c.DepthShadeClick(); });
    On(m.FinePointsItems[0], [&c] { c.FinePointsClick(FinePoints::OnePixel); });
    On(m.FinePointsItems[1], [&c] { c.FinePointsClick(FinePoints::TwoByTwo); });
    for (std::size_t i = 0; i < m.ColourByItems.size(); ++i)
        On(m.ColourByItems[i], [&c, i] { c.SelectColourBy(static_cast<ColourBy>(i)); });
    for (std::size_t i = 0; i < m.ColourMapItems.size(); ++i)
        On(m.ColourMapItems[i], [&c, i] { c.SelectColourMap(static_cast<ColourMapKind>(i)); });
    On(m.ColourLegendItem, [&c] { c.ColourLegendClick(); });
    On(m.ColourRangeItem, [this, &c] { AskColourRange(c); });
}

void TGraphWindow::AskColourRange(GraphCommands& commands) {
    const GraphViewState& v = document_->view;
    QString text =
        v.colourRangeTyped
            ? QString("%1,%2").arg(v.colourRangeMin, 0, 'g', 17).arg(v.colourRangeMax, 0, 'g', 17)
            : QString();
    for (;;) {
        bool ok = false;
        text = QInputDialog::getText(this, "Colour Range",
                                     "Smallest and largest value, as MIN,MAX in data units\n"
                                     "(empty: the field's own range):",
                                     QLineEdit::Normal, text, &ok);
        if (!ok || commands.SetColourRange(text.toStdString())) return;
    }
}

void TGraphWindow::ConnectScaleAndRotationCommands() {
    const MainMenus& m = menus_;
    GraphCommands& c = document_->commands;
    RotationControl& r = document_->rotation;
    On(m.AutoScaleItem, [&c] { c.AutoScaleItemClick(); });
    OnClick(m.AutoScaleBtn, [&c] { c.AutoScaleItemClick(); });
    On(m.ZInvertItem, [&c] { c.ZInvertItemClick(); });
    connect(m.ZInvertSpdBtn, &QAbstractButton::clicked, this,
            [this, &c](bool down) { Run([&c, down] { c.ZInvertSpdBtnClick(down); }); });
    connect(m.AspectRatioSpdBtn, &QAbstractButton::clicked, this, [this](bool down) {
        Run([this, down] {
            document_->commands.AspectRatioSpdBtnClick(down);
            ApplyFixedAspect(1.0f);
        });
    });

    On(m.AzimuthItem, [&r] { r.AzimuthItemClick(); });
    OnClick(m.RotateAzimuthSpdBtn, [&r] { r.AzimuthItemClick(); });
    On(m.ElevationItem, [&r] { r.ElevationItemClick(); });
    OnClick(m.RotateElevationSpdBtn, [&r] { r.ElevationItemClick(); });
    On(m.FasterItem, [&r] { r.FasterItemClick(); });
    OnClick(m.FasterSpdBtn, [&r] { r.FasterItemClick(); });
    On(m.SlowerItem, [&r] { r.SlowerItemClick(); });
    OnClick(m.SlowerSpdBtn, [&r] { r.SlowerItemClick(); });
    for (std::size_t i = 0; i < m.Sec.size(); ++i)
        On(m.Sec[i], [&r, i] { r.SecClick(static_cast<int>(i)); });
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

void TGraphWindow::ColorCommand(void (GraphCommands::*command)(ColorChooser&)) {
    DialogColorChooser chooser(*dialogs_, this);
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
    if (dialogs_->RunModal(*fileInputDialog_) != QDialog::Accepted) {
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
    document_->commands.TitlesEdited();
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
    SyncStereoMenus(stereoMenus_, v);

    Check(m.LinesItem->menuAction(), v.lineThickness != 0);
    Check(m.GridItem->menuAction(), v.gridThickness != 0);
    Check(m.Points->menuAction(), v.pointSize != 0 || v.finePoints != FinePoints::Off);
    Down(m.DepthShadeSpdBtn, v.depthShade);
    Check(m.DepthShadeItem, v.depthShade);
    for (std::size_t i = 0; i < m.FinePointsItems.size(); ++i)
        Check(m.FinePointsItems[i], static_cast<std::size_t>(v.finePoints) == i + 1);
    for (std::size_t i = 0; i < m.ColourByItems.size(); ++i)
        Check(m.ColourByItems[i], static_cast<std::size_t>(v.colourBy) == i);
    for (std::size_t i = 0; i < m.ColourMapItems.size(); ++i)
        Check(m.ColourMapItems[i], static_cast<std::size_t>(v.colourMap) == i);
    Check(m.ColourLegendItem, v.colourLegend);
    for (std::size_t n = 0; n < m.LinesPixel.size(); ++n)
        Check(m.LinesPixel[n], static_cast<int>(n) == v.linesPixelItem);
    for (std::size_t n = 0; n < m.GridPixel.size(); ++n)
        Check(m.GridPixel[n], static_cast<int>(n) == v.gridPixelItem);
    for (std::size_t n = 0; n < m.PointsPixel.size(); ++n)
        Check(m.PointsPixel[n],
              static_cast<int>(n) == v.pointsPixelItem && v.finePoints == FinePoints::Off);
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
