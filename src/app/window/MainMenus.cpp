#include "app/window/MainMenus.h"

#include <QActionGroup>

#include "app/window/ToolbarIcons.h"

namespace ocuvis {

namespace {

QAction* Item(QMenu* menu, const QString& caption, const QString& shortcut = {},
              const QString& hint = {}) {
    QAction* action = menu->addAction(caption);
    if (!shortcut.isEmpty()) action->setShortcut(QKeySequence(shortcut));
    if (!hint.isEmpty()) SetHint(action, hint);
    return action;
}

QAction* Toggle(QMenu* menu, const QString& caption, const QString& shortcut = {},
                const QString& hint = {}) {
    QAction* action = Item(menu, caption, shortcut, hint);
    action->setCheckable(true);
    return action;
}

// A radio group of checkable items in one menu.
template <std::size_t N>
void Radio(std::array<QAction*, N>& items, QMenu* menu,
           const std::array<const char*, N>& captions) {
    auto* group = new QActionGroup(menu);
    group->setExclusive(true);
    for (std::size_t i = 0; i < N; ++i) {
        items[i] = Toggle(menu, QString::fromUtf8(captions[i]));
        group->addAction(items[i]);
    }
}

QMenu* CheckableSubMenu(QMenu* parent, const QString& caption, const QString& hint) {
    QMenu* menu = parent->addMenu(caption);
    menu->menuAction()->setCheckable(true);
    if (!hint.isEmpty()) SetHint(menu->menuAction(), hint);
    return menu;
}

QToolButton* Button(QToolBar* bar, ToolbarIcon icon, const QString& hint, bool checkable) {
    auto* button = new QToolButton(bar);
    button->setIcon(MakeToolbarIcon(icon));
    button->setIconSize(QSize(18, 18));
    button->setFixedSize(25, 25);
    button->setCheckable(checkable);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    if (!hint.isEmpty()) SetHint(button, hint);
    bar->addWidget(button);
    return button;
}

QToolButton* TextButton(QToolBar* bar, const QString& text, const QString& hint) {
    QToolButton* button = Button(bar, ToolbarIcon::None, hint, true);
    button->setIcon(QIcon());
    button->setText(text);
    button->setMinimumSize(0, 0);
    button->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    button->setFixedHeight(25);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QFont bold = button->font();
    bold.setBold(true);
    bold.setPointSize(8);
    button->setFont(bold);
    return button;
}

void BuildColourItems(QMenu* menu, QAction*& dots, QAction*& lines, QAction*& grid, QAction*& text,
                      QAction*& background, QAction*& defaults) {
    dots = Item(menu, "&Dots Color...", "Ctrl+D");
    lines = Item(menu, "&Lines Color...", "Ctrl+L");
    grid = Item(menu, "&Grid Color...", "Ctrl+G");
    text = Item(menu, "&Text Color...", "Ctrl+T");
    background = Item(menu, "&Background Color...", "Ctrl+B");
    defaults = Item(menu, "De&fault Colors", "Ctrl+F");
}

}  // namespace

void SetHint(QWidget* control, const QString& hint) {
    const qsizetype bar = hint.indexOf('|');
    control->setToolTip(bar < 0 ? hint : hint.left(bar));
    control->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
}

void SetHint(QAction* action, const QString& hint) {
    const qsizetype bar = hint.indexOf('|');
    action->setToolTip(bar < 0 ? hint : hint.left(bar));
    action->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
}

namespace {

void BuildFileAndEditMenus(MainMenus& m, QMenuBar* menuBar) {
    m.FileMenu = menuBar->addMenu("&File");
    SetHint(m.FileMenu->menuAction(), "Open new data file or exit program.");
    m.SetFormatItem = Item(m.FileMenu, "&Input Setup...", "Ctrl+I");
    m.OpenItem = Item(m.FileMenu, "&Open...", "Ctrl+O", "Open new data file for display.");
    m.ReOpenItem = Item(m.FileMenu, "&Re-Open", "Ctrl+R");
    m.FileMenu->addSeparator();
    m.SaveItem = Item(m.FileMenu, "&Save Graph", "Ctrl+S");
    m.FileMenu->addSeparator();
    m.PrintSetupItem = Item(m.FileMenu, "Printer Setup...");
    m.PrintItem = Item(m.FileMenu, "&Print", "Ctrl+P");
    m.FileMenu->addSeparator();
    m.ExitItem = Item(m.FileMenu, "E&xit", "Ctrl+X", "Exit Ocuvis program.");
    m.FileMenu->addSeparator();

    m.EditMenu = menuBar->addMenu("&Edit");
    m.CopyGraphItem = Item(m.EditMenu, "&Copy Graph", "Ctrl+C");
    m.EditMenu->addSeparator();
    m.TitlesEditItem = Item(m.EditMenu, "T&itles...");
    m.EditMenu->addSeparator();
    BuildColourItems(m.EditMenu, m.DotsColorSetupItem, m.LinesColorSetupItem, m.GridColorSetupItem,
                     m.TextColorSetupItem, m.BackgoundColorSetupItem, m.DefaultColorsSetupItem);
}

void BuildViewAndPlotMenus(MainMenus& m, QMenuBar* menuBar) {
    m.ViewMenu = menuBar->addMenu("&View");
    Radio<5>(m.viewItems, m.ViewMenu,
             {"&Cross Eyes", "&Wall Eyes", "Right &Red", "Right &Blue", "&Single"});
    const std::array<const char*, 5> viewHints = {
        "Cross Eyes 3D", "Wall Eyes 3D", "Right Red, Left Blue Filter Glasses 3D",
        "Right Blue, Left Red Filter Glasses 3D", "Single Graph Perspective Mode (not 3D)"};
    for (std::size_t i = 0; i < 5; ++i)
        SetHint(m.viewItems[i], viewHints[i]);
    m.ViewMenu->addSeparator();
    m.ModeIndicatorItem =
        Toggle(m.ViewMenu, "&Mode Indicator", {}, "Enable/Disable Mode Indicator");

    m.PlotMenu = menuBar->addMenu("&Plot");
    SetHint(m.PlotMenu->menuAction(), "Set plot attributes.");
    m.LinesItem =
        CheckableSubMenu(m.PlotMenu, "&Lines", "Select connecting line thickness, key='L'");
    Radio<4>(m.LinesPixel, m.LinesItem, {"&None", "&1 Pixel", "&2 Pixels", "&3 Pixels"});
    m.GridItem =
        CheckableSubMenu(m.PlotMenu, "&Grid", "Select grid (axes) line thickness, key='G'");
    Radio<4>(m.GridPixel, m.GridItem, {"&None", "&1 Pixel", "&2 Pixels", "&3 Pixels"});
    m.FullGrid = Toggle(m.PlotMenu, "&Full Box Grid", {}, "Enable full box grid, key='F'");
    m.Points = CheckableSubMenu(m.PlotMenu, "&Points", {});
    Radio<7>(
        m.PointsPixel, m.Points,
        {"&None", "&1 Pixel", "&2 Pixels", "&3 Pixels", "&4 Pixels", "&5 Pixels", "&6 Pixels"});
    m.Points->addSeparator();
    m.FinePointsItems = {Toggle(m.Points, "&Fine, 1 Pixel"), Toggle(m.Points, "Fine, 2 &x 2")};
    for (QAction* fine : m.FinePointsItems)
        m.PointsPixel[0]->actionGroup()->addAction(fine);
    m.AxisLabels = Toggle(m.PlotMenu, "&AxisLabels", "F9", "Toggle axis labels on/off, key=<F9>");
    m.TitlesItem = Toggle(m.PlotMenu, "&Titles");
    m.TextLabelsItem =
        Toggle(m.PlotMenu, "Text Labels", {},
               "Display text lables defined in *.3D file in 4th field starting with '!'");
    m.FadeItem = Toggle(m.PlotMenu, "Fade to Back");
    m.DepthShadeItem = Toggle(m.PlotMenu, "&Depth Shade Dots", {},
                              "Shade dots from full colour in front towards the background");
    m.ColourMenu = m.PlotMenu->addMenu("&Colour");
    SetHint(m.ColourMenu->menuAction(), "Colour dots and lines by the file's colours or a field");
    Radio<5>(m.ColourByItems, m.ColourMenu,
             {"From &File", "&None (Dot Color)", "By &X", "By &Y", "By &Z"});
    m.ColourMenu->addSeparator();
    Radio<4>(m.ColourMapItems, m.ColourMenu,
             {"&Viridis", "&Diverging Blue-White-Red", "&Turbo", "&Grey"});
    m.ColourMenu->addSeparator();
    m.ColourRangeItem = Item(m.ColourMenu, "&Range...", {},
                             "Values at the colour map's ends, or the field's own range");
    m.ColourLegendItem = Toggle(m.ColourMenu, "&Legend");
}

void BuildScaleRotateAndHelpMenus(MainMenus& m, QMenuBar* menuBar) {
    m.ScaleMenu = menuBar->addMenu("&Scale");
    SetHint(m.ScaleMenu->menuAction(), "Set xyz scale range & offset.");
    m.AutoScaleItem =
        Item(m.ScaleMenu, "&Auto", {}, "Automatic xyz scaling to fit data within graph, key='A'");
    m.ZInvertItem = Toggle(m.ScaleMenu, "Invert &Z-Axis", "Ctrl+Z");

    m.ControlMenu = menuBar->addMenu("&Rotate");
    SetHint(m.ControlMenu->menuAction(), "Auto graph rotation.  Hit any key to stop rotation.");
    m.AzimuthItem =
        Toggle(m.ControlMenu, "&Azimuth", {},
               "Rotate Azimuth, key='Y'  Hit left/right arrow or any key to stop rotation.");
    m.ElevationItem =
        Toggle(m.ControlMenu, "&Elevation", {},
               "(X) Rotate Elevation, Hit up/down arrow or any key to stop rotation.");
    m.FasterItem = Item(m.ControlMenu, "&Faster", {}, "Increase rotation (S)peed");
    m.SlowerItem = Item(m.ControlMenu, "&Slower", {}, "Decrease Rotation Speed.");
    m.SetSpeedItem = m.ControlMenu->addMenu("Se&t Speed");
    Radio<12>(m.Sec, m.SetSpeedItem,
              {"&1/Sec", "&2/Sec", "&3/Sec", "&4/Sec", "&5/Sec", "&6/Sec", "&8/Sec", "1&0/Sec",
               "15/Sec", "20/Sec", "30/Sec", "50/Sec"});

    m.HelpMenu = menuBar->addMenu("&Help");
    SetHint(m.HelpMenu->menuAction(), "Ocuvis information");
    m.HelpItem = Item(m.HelpMenu, "&Help", "Ctrl+H", "Help not yet available.");
    m.AboutItem = Item(m.HelpMenu, "&About", {}, "Information about Ocuvis");
}

// The graph's context menu repeats the output and colour items of the menu bar.
void BuildPopupMenu(MainMenus& m, QWidget* window) {
    m.PopupMenu = new QMenu(window);
    m.ReOpen = Item(m.PopupMenu, "&Re-Open File", "Ctrl+R");
    m.SaveGraph = Item(m.PopupMenu, "&Save Graph...", "Ctrl+S");
    m.PopupMenu->addSeparator();
    m.CopyToClipboard = Item(m.PopupMenu, "&Copy Graph", "Ctrl+C");
    m.PopupMenu->addSeparator();
    m.TitlesEdit = Item(m.PopupMenu, "T&itles...");
    m.PopupMenu->addSeparator();
    BuildColourItems(m.PopupMenu, m.DotsColorSetup, m.LinesColorSetup, m.GridColorSetup,
                     m.TextColorSetup, m.BackgroundColorSetup, m.DefaultColorsSetup);
    m.PopupMenu->addSeparator();
    m.PrinterSetup = Item(m.PopupMenu, "Printer Setup...");
    m.PrintGraph = Item(m.PopupMenu, "&Print", "Ctrl+P");
    // The context menu shows the short-cuts of the window's own items; only those act on keys.
    for (QAction* action : m.PopupMenu->actions())
        action->setShortcutContext(Qt::WidgetShortcut);
}

void BuildToolBar(MainMenus& m, QWidget* window) {
    m.ToolBar = new QToolBar(window);
    m.ToolBar->setMovable(false);
    // 29 pixels high as one row; it must be free to grow when its overflow opens.
    m.ToolBar->setMinimumHeight(29);
    m.ToolBar->setStyleSheet(
        "QToolBar { spacing: 1px; } QToolButton { padding: 1px 3px; margin: 0px; }");
    QToolBar* bar = m.ToolBar;
    m.FileSetupSpdBtn = Button(bar, ToolbarIcon::FileSetup, "File Input Setup", false);
    m.FileReOpenSpdBtn = Button(bar, ToolbarIcon::ReOpen, "Re-Open File", false);
    m.FileOpenSpdBtn = Button(bar, ToolbarIcon::Open, "Open File", false);
    m.viewButtons = {Button(bar, ToolbarIcon::CrossEyes, "Cross-Eyes View", true),
                     Button(bar, ToolbarIcon::WallEyes, "Wall-Eyes View", true),
                     Button(bar, ToolbarIcon::RightRed, "Right Red View", true),
                     Button(bar, ToolbarIcon::RightBlue, "Right Blue View", true),
                     Button(bar, ToolbarIcon::Plain, "Plain 2D View", true)};
    m.StereoSpdBtn = TextButton(bar, "3D", "Glasses, 3D screens and the eyes' settings");
    m.StereoSpdBtn->setPopupMode(QToolButton::InstantPopup);
    m.ZInvertSpdBtn = Button(bar, ToolbarIcon::ZInvert, "Invert Z-Axis", true);
    m.AutoScaleBtn = Button(bar, ToolbarIcon::AutoScale, "(A)uto Scale", false);
    m.TextLabelsSpdBtn = TextButton(
        bar, "Text", "Display text lables defined in *.3D file in 4th field starting with '!'");
    m.AspectRatioSpdBtn = TextButton(
        bar, "1:1",
        "Set 1:1 fixed aspect ratio (also see below)|When setting fixed aspect ratio, you CANNOT "
        "resize the window by WIDTH, only by HEIGHT; and DON'T MAXIMIZE WINDOW!!!");
    m.FadeLinesSpdBtn =
        TextButton(bar, "Fade", "Fade lines front dark gray/black to lighter gray toward back");
    m.DepthShadeSpdBtn =
        TextButton(bar, "Shade", "Shade dots from full colour in front towards the background");
    m.DepthShadeSpdBtn->setCheckable(true);
    m.ColourSpdBtn = TextButton(bar, "Colour", "Colour dots and lines");
    m.ColourSpdBtn->setMenu(m.ColourMenu);
    m.ColourSpdBtn->setPopupMode(QToolButton::InstantPopup);
    m.ModeIndicatorSpdBtn =
        Button(bar, ToolbarIcon::ModeIndicator, "Enable/Disable Mode Indicator", true);
    m.LinesSpdBtn = Button(bar, ToolbarIcon::Lines, "Toggles (L)ines", false);
    m.PointsSpdBtn = Button(bar, ToolbarIcon::Points, "Toggle Points", false);
    m.GridSpdBtn = Button(bar, ToolbarIcon::Grid,
                          "Toggle (Grid) Lines Thickness|Enables labels & titles.", false);
    m.FullGridSpdBtn =
        Button(bar, ToolbarIcon::FullGrid,
               "Toggle (F)ull Box or Simple Grid Lines|Forces grid lines to 'on' state.", true);
    m.AxisLabelsSpdBtn =
        Button(bar, ToolbarIcon::AxisLabels,
               "Enable/Disable Axis Labels|Gridlines must be on to see labels.", true);
    m.TitlesSpdBtn = Button(bar, ToolbarIcon::Titles,
                            "Enable/Disable Titles|Axis labels must be on to see titles.", true);
    m.RotateAzimuthSpdBtn = Button(bar, ToolbarIcon::RotateAzimuth, {}, true);
    m.RotateElevationSpdBtn = Button(bar, ToolbarIcon::RotateElevation, {}, true);
    m.FasterSpdBtn = Button(bar, ToolbarIcon::Faster, "(S) Rotate Faster", false);
    m.SlowerSpdBtn = Button(bar, ToolbarIcon::Slower, "Rotate Slower", false);
}

}  // namespace

MainMenus BuildMainMenus(QWidget* window, QMenuBar* menuBar) {
    MainMenus m{};
    BuildFileAndEditMenus(m, menuBar);
    BuildViewAndPlotMenus(m, menuBar);
    BuildScaleRotateAndHelpMenus(m, menuBar);
    BuildPopupMenu(m, window);
    BuildToolBar(m, window);
    return m;
}

}  // namespace ocuvis
