// One small kit with which every window builds its controls: pixel fonts,
// colours, labels, panels, groups, fixed-size forms with a menu bar, and grids
// whose cells are computed from their position (item views, so that every
// cell's text reaches the accessibility interface).
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>
#include <functional>
#include <string_view>
#include <vector>

#include "support/core/Codec.h"

class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;
class QTableView;
class QWidget;

namespace kit {

// Program texts are UTF-8 literals.
using codec::u;

// The one box a failed save shows, naming the file and what went wrong.
void saveFailureBox(QWidget* over, std::string_view error);

// Colours the forms use by name.
inline const QColor kCream(255, 251, 240);
inline const QColor kAqua(0, 255, 255);
inline const QColor kLime(0, 255, 0);
inline const QColor kYellow(255, 255, 0);
inline const QColor kLightYellow(255, 255, 128);
inline const QColor kMaroon(128, 0, 0);
inline const QColor kNavy(0, 0, 128);
inline const QColor kFuchsia(255, 0, 255);
inline const QColor kButtonFace(236, 233, 216);

QFont pixelFont(int px, bool bold = false);
void setPixelFont(QWidget* widget, int px, bool bold = false);
// The widget paints its whole area in the colour.
void fillBackground(QWidget* widget, const QColor& colour);
void setTextColour(QWidget* widget, const QColor& colour);

struct Look {
    int px = 13;
    QColor colour = Qt::black;
    bool bold = false;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
};

QLabel* label(QWidget* parent, const QRect& geometry, std::string_view text, const Look& look = {});
// A label with a raised frame and its own background, text centred.
QLabel* panel(QWidget* parent, const QRect& geometry, std::string_view text, const Look& look,
              const QColor& background = kButtonFace);
// How a coloured group box is drawn: filled, framed with rounded corners
// (a plain line, or a groove whose inner line is lighter), its title inside
// the frame at a given place. An invalid title colour follows the palette.
struct GroupLook {
    QColor fill;
    QColor frame;
    bool groove = false;
    int radius = 4;
    QPoint titleAt{6, 3};
    QColor titleColour;
};
QGroupBox* group(QWidget* parent, const QRect& geometry, std::string_view title, const GroupLook& look, int px);
// The usual look: a plain frame a shade darker than the fill.
QGroupBox* group(QWidget* parent, const QRect& geometry, std::string_view title, const QColor& fill, int px = 12);

// A fixed-size window whose client area is w x h, under a menu bar when one
// is asked for. Minimise and close only; the caller adds its controls to
// client.
struct Form {
    QMenuBar* menuBar = nullptr;
    QWidget* client = nullptr;
};
Form buildForm(QDialog* dialog, std::string_view caption, int w, int h, const QColor& background, bool withMenu);

// A text in a fixed box that it does not fit is drawn smaller, a pixel at a
// time down to floorPx, which stays legible, and only past that elided in
// the middle with "…". Screen readers and the tooltip keep the whole text.
struct Fitted {
    QFont font;
    QString text;
};
Fitted fitted(const QFont& font, const QString& text, int width, int floorPx);
void showFitted(QLabel* label, const QString& text, const QFont& font, int floorPx);
void showFitted(QLineEdit* edit, const QString& text, const QFont& font, int floorPx);

// Qt may break a line between any two kana. Our texts put spaces between
// words, as texts for children do: with this, a line breaks only at those
// spaces, after 、。，．！？ and a slash, and at line ends. The characters
// shown are the same (word joiners between the letters of a word); a word
// too long for any box (over 24 letters) may still break inside.
QString keepWordsWhole(const QString& text);
// Makes every message box of the program break its lines so, as it appears.
// A box whose lines are too short ever to wrap keeps its text exactly.
// The filter goes with the application, or when deleted.
QObject* breakBoxLinesBetweenWords(QObject* application);

// A window without a Cancel button: Esc means nothing in it.
void keepOpenOnEscape(QDialog* dialog);

// A push button at its place. Enter presses it only where pressedByEnter is
// set (the window's default button); elsewhere Enter leaves it alone.
struct ButtonLook {
    int px = 13;
    bool bold = false;
    bool pressedByEnter = false;
    std::string_view tip = {};
};
QPushButton* button(QWidget* parent, const QRect& geometry, std::string_view text, const ButtonLook& look = {});

// Cells computed from their position: role -> value (Qt::DisplayRole,
// BackgroundRole, ForegroundRole, FontRole, TextAlignmentRole, ...).
using CellFunction = std::function<QVariant(int row, int column, int role)>;

class CellModel : public QAbstractTableModel {
public:
    CellModel(int rows, int columns, CellFunction cell, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // The first rows and columns that are headings: they cannot be selected,
    // and screen readers announce them as the grid's headers. A grid without
    // headings announces none.
    void setHeadings(int rows, int columns);
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Every cell may have changed: views repaint, readers are told.
    void refresh();

private:
    int rows_;
    int columns_;
    int headingRows_ = 0;
    int headingColumns_ = 0;
    CellFunction cell_;
};

// A grid without header bars (heading rows and columns are cells that the
// cell function colours), read-only, with the given row height and column
// widths (the last width repeats). Tab moves on to the next control; the
// arrow keys move within the grid.
QTableView* grid(QWidget* parent, const QRect& geometry, CellModel* model, int rowHeight,
                 const std::vector<int>& columnWidths, const QFont& font);

}  // namespace kit
