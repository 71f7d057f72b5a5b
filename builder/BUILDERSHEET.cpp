// BUILDERSHEET: importing a sprite sheet as tile types, and its layout window. The cutting and
// naming are worldfiles' (shared with the Tiled map import); this unit checks, asks, writes and
// draws. Every check runs before the first file is written.
#include "builder/BUILDERSHEET.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

#include "builder/BUILDERRECORDS.h"
#include "builder/BUILDERIMPORT.h"
#include "builder/BUILDERMESSAGE.h"
#include "builder/BUILDERTILEMENU.h"
#include "builder/BUILDERio.h"
#include "platform/dialogs.h"
#include "platform/display.h"
#include "platform/fault.h"
#include "platform/files.h"
#include "platform/images.h"
#include "worldfiles/convert.h"
#include "worldfiles/descriptor.h"
#include "worldfiles/lines.h"
#include "worldfiles/tiled_read.h"

namespace {

constexpr const char* kSheetTitle = "MAP BUILDER: Import Tileset";
constexpr const char* kWindowTitlePrefix = "Tileset layout: ";

// The layout window: a row of fields and buttons, a note line, the picture below.
constexpr int kRowY = 6;              // pixels: top of the fields and buttons
constexpr int kRowHeight = 24;
constexpr int kNoteY = 38;            // pixels: the note line
constexpr int kPictureX = 8;          // pixels: the picture's top-left
constexpr int kPictureY = 60;
constexpr int kLeastWindowWidth = 600;
constexpr int kPictureRoomWidth = 960;   // pixels the picture may take at most
constexpr int kPictureRoomHeight = 640;
constexpr int kMostZoom = 8;          // small sheets are shown up to 8 times their size

struct FieldPlace {
    int control;
    const char* label;
    int labelX, fieldX;
};
constexpr FieldPlace kFields[] = {
    {kSheetWidthField, "Width", 4, 46},
    {kSheetHeightField, "Height", 102, 151},
    {kSheetMarginField, "Margin", 207, 256},
    {kSheetSpacingField, "Spacing", 312, 368},
};
constexpr int kFieldWidth = 48;
const plat::Colour kWindowGrey{212, 212, 212};
const plat::Colour kGridColour{255, 0, 255};

bool Refuse(const std::string& text) {
    plat::MessageBox(kBuilderErrorTitle, text);
    return false;
}

// A field's text as a whole number of 0 or more (blanks around it allowed).
bool WholeNumber(const std::string& text, int& value) {
    size_t begin = text.find_first_not_of(" \t");
    size_t end = text.find_last_not_of(" \t");
    if (begin == std::string::npos) return false;
    const std::string digits = text.substr(begin, end - begin + 1);
    if (digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    value = wf::ParseInt(digits);
    return true;
}

// The picture's size in the window: shrunk to the room, or enlarged by whole steps when small.
float PictureZoom(int width, int height) {
    if (width <= 0 || height <= 0) return 1.0f;
    const float fit = std::min(static_cast<float>(kPictureRoomWidth) / width, static_cast<float>(kPictureRoomHeight) / height);
    if (fit < 1.0f) return fit;
    return static_cast<float>(std::clamp(static_cast<int>(fit), 1, kMostZoom));
}

int Scaled(int pixels, float zoom) { return wf::RoundToInt(static_cast<float>(pixels) * zoom); }

// The grid of the layout over the picture drawn at `zoom`: both edges of every column and row.
void DrawGrid(const wf::SheetLayout& layout, int width, int height, float zoom) {
    const int columns = wf::SheetColumns(layout, width);
    const int rows = wf::SheetRows(layout, height);
    const int top = kPictureY + Scaled(layout.margin, zoom);
    const int left = kPictureX + Scaled(layout.margin, zoom);
    const int gridWidth = Scaled(columns * layout.tileWidth + (columns - 1) * layout.spacing, zoom);
    const int gridHeight = Scaled(rows * layout.tileHeight + (rows - 1) * layout.spacing, zoom);
    for (int column = 0; column < columns; ++column) {
        const int x = layout.margin + column * (layout.tileWidth + layout.spacing);
        for (int edge : {x, x + layout.tileWidth}) {
            plat::FillWindowRect(kSheetWindow, kPictureX + Scaled(edge, zoom), top, 1, gridHeight, kGridColour);
        }
    }
    for (int row = 0; row < rows; ++row) {
        const int y = layout.margin + row * (layout.tileHeight + layout.spacing);
        for (int edge : {y, y + layout.tileHeight}) {
            plat::FillWindowRect(kSheetWindow, left, kPictureY + Scaled(edge, zoom), gridWidth, 1, kGridColour);
        }
    }
}

// The note for a layout: how many cells and tiles it gives, or why it cannot cut the picture.
std::string LayoutNote(const wf::SheetLayout& layout, const plat::Pixels& picture) {
    const std::string problem = wf::SheetLayoutProblem(layout, picture.width, picture.height);
    if (!problem.empty()) return "Cannot cut: " + problem + ".";
    const int columns = wf::SheetColumns(layout, picture.width);
    const int rows = wf::SheetRows(layout, picture.height);
    const size_t tiles = wf::CutSheet(picture, layout, "").size();
    return wf::IntText(columns) + " x " + wf::IntText(rows) + " cells, " + wf::IntText(static_cast<int64_t>(tiles)) +
           " not transparent: " + wf::IntText(static_cast<int64_t>(tiles)) + " tile types.";
}

void DrawSheetWindow() {
    if (!plat::WindowExists(kSheetWindow)) return;
    const int width = plat::WindowClientWidth(kSheetWindow);
    const int height = plat::WindowClientHeight(kSheetWindow);
    // The row of fields and buttons is the window's own: drawing goes around and below it.
    const int below = kRowY + kRowHeight + 2;
    plat::FillWindowRect(kSheetWindow, 0, below, width, height - below, kWindowGrey);
    for (const FieldPlace& field : kFields) {
        plat::DrawWindowText(kSheetWindow, field.labelX, kRowY + 5, field.label, plat::Colour{0, 0, 0}, kWindowGrey);
    }
    plat::DrawWindowText(kSheetWindow, kPictureX, kNoteY, gBuilder.sheetNote, plat::Colour{0, 0, 0}, kWindowGrey);
    const int pictureWidth = plat::ImageWidth(gBuilder.sheetImage);
    const int pictureHeight = plat::ImageHeight(gBuilder.sheetImage);
    const float zoom = PictureZoom(pictureWidth, pictureHeight);
    plat::DrawWindowImage(kSheetWindow, gBuilder.sheetImage, kPictureX, kPictureY, Scaled(pictureWidth, zoom),
                          Scaled(pictureHeight, zoom));
    wf::SheetLayout layout;
    std::string problem;
    if (SheetWindowLayout(layout, problem) && wf::SheetLayoutProblem(layout, pictureWidth, pictureHeight).empty()) {
        DrawGrid(layout, pictureWidth, pictureHeight, zoom);
    }
}

// Takes the fields' layout: the note (after `prefix`) says what it cuts or what is wrong, and the
// window is drawn.
void ShowFieldsLayout(const std::string& prefix = "") {
    wf::SheetLayout layout;
    std::string problem;
    plat::Pixels picture;
    if (!SheetWindowLayout(layout, problem)) {
        gBuilder.sheetNote = "Cannot cut: " + problem + ".";
    } else if (plat::DecodeImageFile(gBuilder.sheetPicture, picture)) {
        gBuilder.sheetNote = LayoutNote(layout, picture);
    } else {
        gBuilder.sheetNote = "Cannot cut: the picture no longer decodes.";
    }
    gBuilder.sheetNote = prefix + gBuilder.sheetNote;
    DrawSheetWindow();
}

}  // namespace

bool ImportSheet(const std::string& picturePath, const wf::SheetLayout& layout) {
    PLAT_MARK("BUILDERSHEET");
    const std::string sheet = TileNameOfPicture(picturePath);
    if (!IsPngExtension(gBuilderSettings.GFXCODEC)) {
        return Refuse("This world's tile graphics are " + gBuilderSettings.GFXCODEC +
                      " files, and plom writes imported tiles as PNG only.\nNothing was imported.");
    }
    std::vector<wf::DescriptorRow> rows;
    if (!TemplateRows(rows)) {
        return Refuse("The default descriptor " + gBuilder.defaultDescriptorPath +
                      " cannot be read.\nImported tiles take their descriptor from it. Nothing was imported.");
    }
    plat::Pixels picture;
    if (!plat::DecodeImageFile(picturePath, picture)) {
        return Refuse("Could not read " + picturePath +
                      " as a picture.\nplom imports sheets in PNG, JPEG and TIFF files. Nothing was imported.");
    }
    const std::string problem = wf::SheetLayoutProblem(layout, picture.width, picture.height);
    if (!problem.empty()) {
        return Refuse("The layout does not fit the sheet " + picturePath + ": " + problem + ".\nNothing was imported.");
    }
    const int lastId = wf::SheetColumns(layout, picture.width) * wf::SheetRows(layout, picture.height) - 1;
    const std::string nameProblem = TileNameProblem(wf::SheetTileName(sheet, lastId));
    if (!nameProblem.empty() || !TileNameProblem(sheet).empty()) {
        return Refuse("The sheet " + picturePath + " cannot name its tiles \"" + wf::SheetTileName(sheet, 0) +
                      "\" and on: " + (nameProblem.empty() ? TileNameProblem(sheet) : nameProblem) +
                      ".\nRename the picture and import it again.");
    }
    const std::vector<wf::SheetCell> cells = wf::CutSheet(picture, layout, sheet);
    if (cells.empty()) {
        return Refuse("Every cell of the sheet " + picturePath +
                      " is wholly transparent with this layout.\nNothing was imported.");
    }

    std::vector<std::string> existing;
    for (const wf::SheetCell& cell : cells) {
        const std::string base = gBuilderSettings.GFXPATH + cell.name;
        if (plat::FileExists(base + gBuilderSettings.GFXCODEC) || plat::FileExists(base + ".dll")) {
            existing.push_back(cell.name);
        }
    }
    if (!existing.empty() &&
        !plat::AskYesNo(kSheetTitle, wf::IntText(static_cast<int64_t>(existing.size())) + " of the sheet's " +
                                         wf::IntText(static_cast<int64_t>(cells.size())) + " tiles exist already (\"" +
                                         existing.front() + "\"" + (existing.size() > 1 ? " and on" : "") + ") in " +
                                         gBuilderSettings.GFXPATH +
                                         "\nReplace their graphics with the sheet's cells?\nTheir descriptors are kept.")) {
        return false;
    }

    int written = 0;
    for (const wf::SheetCell& cell : cells) {
        const std::string graphic = gBuilderSettings.GFXPATH + cell.name + gBuilderSettings.GFXCODEC;
        const std::string descriptor = gBuilderSettings.GFXPATH + cell.name + ".dll";
        const bool ok = plat::WritePngFile(graphic, cell.pixels) &&
                        (plat::FileExists(descriptor) || wf::WriteDescriptorFile(descriptor, rows));
        if (!ok) {
            Refuse("Could not write the tile " + graphic + "\nwith its descriptor. " + wf::IntText(written) + " of the " +
                   wf::IntText(static_cast<int64_t>(cells.size())) + " tiles were written before it.");
            RefreshTileLibrary();
            return false;
        }
        written += 1;
    }
    RefreshTileLibrary();
    SelectTileType(TileTypeIndex(cells.front().name));
    return true;
}

bool FindSheetTileset(const std::string& picturePath, wf::SheetLayout& layout) {
    const size_t slash = picturePath.find_last_of("/\\");
    const std::string directory = slash == std::string::npos ? "" : picturePath.substr(0, slash + 1);
    const std::string picture = plat::AbsolutePath(picturePath);
    for (const std::string& name : plat::ListDirectory(directory, "*.tsx")) {
        wf::TiledSheetLayout tileset;
        std::string problem;
        if (!wf::ReadTiledTileset(directory + name, tileset, problem)) continue;
        if (plat::AbsolutePath(tileset.imagePath) != picture) continue;
        layout.tileWidth = tileset.tileWidth;
        layout.tileHeight = tileset.tileHeight;
        layout.margin = tileset.margin;
        layout.spacing = tileset.spacing;
        layout.transparentColour = tileset.hasTransparentColour
                                       ? tileset.transparentR << 16 | tileset.transparentG << 8 | tileset.transparentB
                                       : -1;
        return true;
    }
    return false;
}

void OpenSheetWindow(const std::string& picturePath) {
    PLAT_MARK("BUILDERSHEET");
    CloseSheetWindow();
    plat::Pixels picture;
    if (!plat::DecodeImageFile(picturePath, picture)) {
        Refuse("Could not read " + picturePath + " as a picture.\nplom imports sheets in PNG, JPEG and TIFF files.");
        return;
    }
    wf::SheetLayout layout{32, 32, 0, 0};
    const bool fromTileset = FindSheetTileset(picturePath, layout);
    const float zoom = PictureZoom(picture.width, picture.height);
    const int width = std::max(kLeastWindowWidth, kPictureX * 2 + Scaled(picture.width, zoom));
    const int height = kPictureY + Scaled(picture.height, zoom) + kPictureX;
    const plat::WorkArea area = plat::QueryWorkArea();
    if (!plat::OpenWindow(kSheetWindow, area.x + 40, area.y + 40, width, height,
                          kWindowTitlePrefix + TileNameOfPicture(picturePath), plat::WindowStyle::kTool, kMainWindow)) {
        Refuse("Could not open the layout window for " + picturePath + ".");
        return;
    }
    gBuilder.sheetPicture = picturePath;
    gBuilder.sheetTransparentColour = layout.transparentColour;
    gBuilder.sheetImage = plat::LoadImage(picturePath);
    const int values[] = {layout.tileWidth, layout.tileHeight, layout.margin, layout.spacing};
    for (size_t i = 0; i < std::size(kFields); ++i) {
        plat::AddTextField(kSheetWindow, kFields[i].control, kFields[i].fieldX, kRowY, kFieldWidth, kRowHeight,
                           wf::IntText(values[i]), true);
    }
    plat::SetControlTooltip(kSheetWindow, kSheetWidthField, "Tile width in pixels");
    plat::SetControlTooltip(kSheetWindow, kSheetHeightField, "Tile height in pixels");
    plat::SetControlTooltip(kSheetWindow, kSheetMarginField, "Pixels before the first cell, at the top and the left");
    plat::SetControlTooltip(kSheetWindow, kSheetSpacingField, "Pixels between two cells");
    plat::AddButton(kSheetWindow, kSheetGridButton, 424, kRowY, 50, kRowHeight, "Grid", false);
    plat::SetControlTooltip(kSheetWindow, kSheetGridButton, "Draw the grid of these values over the sheet");
    plat::AddButton(kSheetWindow, kSheetImportButton, 478, kRowY, 56, kRowHeight, "Import", true);
    plat::AddButton(kSheetWindow, kSheetCancelButton, 538, kRowY, 56, kRowHeight, "Cancel", false);
    std::string from;
    if (fromTileset) {
        from = "From the Tiled tileset beside it";
        if (layout.transparentColour >= 0) {
            char hex[12];
            std::snprintf(hex, sizeof hex, "%06x", layout.transparentColour);
            from += std::string(", colour #") + hex + " transparent";
        }
        from += ": ";
    }
    ShowFieldsLayout(from);
    plat::ActivateWindow(kSheetWindow);
}

bool SheetWindowLayout(wf::SheetLayout& layout, std::string& problem) {
    int* values[] = {&layout.tileWidth, &layout.tileHeight, &layout.margin, &layout.spacing};
    const char* names[] = {"tile width", "tile height", "margin", "spacing"};
    for (size_t i = 0; i < std::size(kFields); ++i) {
        const std::string text = plat::ControlText(kSheetWindow, kFields[i].control);
        if (!WholeNumber(text, *values[i])) {
            problem = std::string("the ") + names[i] + " \"" + text + "\" is not a whole number of 0 or more";
            return false;
        }
    }
    layout.transparentColour = gBuilder.sheetTransparentColour;
    return true;
}

void HandleSheetWindowEvent(const plat::WindowEvent& event) {
    PLAT_MARK("BUILDERSHEET");
    if (!plat::WindowExists(kSheetWindow)) return;
    switch (event.kind) {
        case plat::kEventRepaint:
        case plat::kEventResized: DrawSheetWindow(); break;
        case plat::kEventCloseRequest: CloseSheetWindow(); break;
        case plat::kEventControl: {
            if (event.item == kSheetCancelButton) {
                CloseSheetWindow();
            } else if (event.item == kSheetGridButton) {
                ShowFieldsLayout();
            } else if (event.item == kSheetImportButton) {
                wf::SheetLayout layout;
                std::string problem;
                if (!SheetWindowLayout(layout, problem)) {
                    Refuse("The layout cannot be read: " + problem + ".\nNothing was imported.");
                    return;
                }
                const std::string picture = gBuilder.sheetPicture;
                if (ImportSheet(picture, layout)) CloseSheetWindow();
            }
            break;
        }
        default: break;
    }
}

void CloseSheetWindow() {
    if (plat::WindowExists(kSheetWindow)) plat::CloseWindow(kSheetWindow);
    plat::FreeImage(gBuilder.sheetImage);
    gBuilder.sheetPicture.clear();
    gBuilder.sheetNote.clear();
    gBuilder.sheetTransparentColour = -1;
}

void ImportTilesetCommand() {
    const std::string chosen = plat::RequestOpenFile("MAP-BUILDER: Import Tileset:", "", "*");
    if (!chosen.empty()) OpenSheetWindow(chosen);
}
