#pragma once

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <array>

namespace ocuvis {

// Every menu, item and tool button of the main window, named as they are known, with their
// captions, access letters, short-cuts, hints and radio groups. Only construction lives here:
// TGraphWindow connects them and keeps their checks in step with the view state.
struct MainMenus {
    // File
    QMenu* FileMenu;
    QAction* SetFormatItem;
    QAction* OpenItem;
    QAction* ReOpenItem;
    QAction* SaveItem;
    QAction* PrintSetupItem;
    QAction* PrintItem;
    QAction* ExitItem;
    // Edit
    QMenu* EditMenu;
    QAction* CopyGraphItem;
    QAction* TitlesEditItem;
    QAction* DotsColorSetupItem;
    QAction* LinesColorSetupItem;
    QAction* GridColorSetupItem;
    QAction* TextColorSetupItem;
    QAction* BackgoundColorSetupItem;
    QAction* DefaultColorsSetupItem;
    // View: CrossEyesItem, WallEyesItem, RightRedItem, RightBlueItem, SingleItem
    QMenu* ViewMenu;
    std::array<QAction*, 5> viewItems;
    QAction* ModeIndicatorItem;
    // Plot
    QMenu* PlotMenu;
    QMenu* LinesItem;
    std::array<QAction*, 4> LinesPixel;
    QMenu* GridItem;
    std::array<QAction*, 4> GridPixel;
    QAction* FullGrid;
    QMenu* Points;
    std::array<QAction*, 7> PointsPixel;
    std::array<QAction*, 2> FinePointsItems;  // one pixel, 2 x 2, in the points' radio group
    QAction* AxisLabels;
    QAction* TitlesItem;
    QAction* TextLabelsItem;
    QAction* FadeItem;
    QAction* DepthShadeItem;
    QMenu* ColourMenu;
    std::array<QAction*, 5> ColourByItems;  // from the file, none, by x, y, z
    std::array<QAction*, 4> ColourMapItems;
    QAction* ColourRangeItem;
    QAction* ColourLegendItem;
    // Scale
    QMenu* ScaleMenu;
    QAction* AutoScaleItem;
    QAction* ZInvertItem;
    // Rotate
    QMenu* ControlMenu;
    QAction* AzimuthItem;
    QAction* ElevationItem;
    QAction* FasterItem;
    QAction* SlowerItem;
    QMenu* SetSpeedItem;
    std::array<QAction*, 12> Sec;
    // Help
    QMenu* HelpMenu;
    QAction* HelpItem;
    QAction* AboutItem;
    // The paint area's context menu
    QMenu* PopupMenu;
    QAction* ReOpen;
    QAction* SaveGraph;
    QAction* CopyToClipboard;
    QAction* TitlesEdit;
    QAction* DotsColorSetup;
    QAction* LinesColorSetup;
    QAction* GridColorSetup;
    QAction* TextColorSetup;
    QAction* BackgroundColorSetup;
    QAction* DefaultColorsSetup;
    QAction* PrinterSetup;
    QAction* PrintGraph;
    // Tool bar, left to right
    QToolBar* ToolBar;
    QToolButton* FileSetupSpdBtn;
    QToolButton* FileReOpenSpdBtn;
    QToolButton* FileOpenSpdBtn;
    // XEyesSpdBtn, WallEyesSpdBtn, RtRedSpdBtn, RtBlueSpdBtn, PlainSpdBtn
    std::array<QToolButton*, 5> viewButtons;
    QToolButton* ZInvertSpdBtn;
    QToolButton* AutoScaleBtn;
    QToolButton* TextLabelsSpdBtn;
    QToolButton* AspectRatioSpdBtn;
    QToolButton* FadeLinesSpdBtn;
    QToolButton* DepthShadeSpdBtn;
    QToolButton* ColourSpdBtn;  // opens the colour menu
    QToolButton* StereoSpdBtn;  // opens the composed views and the eyes' settings
    QToolButton* ModeIndicatorSpdBtn;
    QToolButton* LinesSpdBtn;
    QToolButton* PointsSpdBtn;
    QToolButton* GridSpdBtn;
    QToolButton* FullGridSpdBtn;
    QToolButton* AxisLabelsSpdBtn;
    QToolButton* TitlesSpdBtn;
    QToolButton* RotateAzimuthSpdBtn;
    QToolButton* RotateElevationSpdBtn;
    QToolButton* FasterSpdBtn;
    QToolButton* SlowerSpdBtn;
};

// Builds the menu bar, the context menu and the tool bar of the window.
MainMenus BuildMainMenus(QWidget* window, QMenuBar* menuBar);

// A hint "short|long": the short part is the tool tip, the long part (or the whole hint when it
// has no bar) goes to the status bar.
void SetHint(QWidget* control, const QString& hint);
void SetHint(QAction* action, const QString& hint);

}  // namespace ocuvis
