#pragma once

#include <QColor>
#include <QList>
#include <QMarginsF>
#include <QRectF>
#include <QString>
#include <optional>

// A report template: a page and its bands of items, in millimetres. Kept in a versioned JSON text
// file of this program's own (docs/report-templates.md).
namespace Report {

inline constexpr int kFormatVersion = 1;

struct Font
{
    QString family;   // empty: the program's report font (WenQuanYi Micro Hei)
    double size = 10; // points
    bool bold = false;
    bool italic = false;
    bool underline = false;

    bool operator==(const Font &) const = default;
};

// How a bar code item is made: its symbology and the look of its symbol.
struct Symbol
{
    enum Symbology { Code128, Code39, Ean13, Ean8, QrCode, DataMatrix };

    Symbology symbology = Code128;
    bool showText = true;  // the human-readable text below the symbol
    bool quietZone = true; // the symbology's blank margins inside the box
    double module = 0;     // millimetres per module; 0: the symbol fills its box
    int errorLevel = 1;    // QR code: 0 L, 1 M, 2 Q, 3 H

    bool operator==(const Symbol &) const = default;
};

struct Item
{
    enum Kind { Text, Line, Rect, Ellipse, Picture, CheckBox, PieChart, BarCode };
    enum Align { Left, Centre, Right };
    enum VAlign { Top, Middle, Bottom };

    Kind kind = Text;
    QString name;
    QRectF rect; // within its band; a line runs from the top left to the bottom right corner

    // Text: fields and functions in brackets, e.g. "[F_goodName]", "[F_CGprice:0.00]",
    // "[SUM(F_CGprice):0.00]", "[COUNT]", "[Page]", "[PageCount]", "[Date]". A bar code: the
    // value it encodes, written the same way ("[F_goodCode]").
    QString text;
    Font font;
    Align align = Left;
    VAlign valign = Middle;
    bool wrap = true;
    bool grow = false;       // taller with its text, moving what lies below it in the band
    QString frame;           // the framed sides: any of "LTRB"
    double frameWidth = 0.2; // also the width of lines and shapes
    QColor color = Qt::black;
    QColor background; // invalid: none

    // Picture: a file ("file:logo.png", beside the template or absolute) or a field holding a
    // picture's path relative to the program's folder ("[F_imagePath]").
    // CheckBox: the yes/no field. PieChart: the data set, and its label and value fields.
    QString source;
    QString dataSet;
    QString labelField;
    QString valueField;
    Symbol symbol; // BarCode

    bool operator==(const Item &) const = default;
};

struct Band
{
    double height = 0;
    QList<Item> items;

    bool operator==(const Band &) const = default;
};

struct Group
{
    QString field; // a new group starts where its value changes
    std::optional<Band> header;
    std::optional<Band> footer;
    bool repeatHeader = true; // again at the top of each page the group runs over
    bool newPage = false;     // each group on a page of its own

    bool operator==(const Group &) const = default;
};

// The rows of one data set, one `row` band each; `details` run for every row, with the row as
// their master. With several columns the rows are labels: across the page, then down.
struct DataBand
{
    QString dataSet;
    std::optional<Band> header; // again at the top of each page the rows run over
    std::optional<Band> footer;
    QList<Group> groups;
    Band row;
    QList<DataBand> details;
    int columns = 1;      // labels across the page, each as wide as its share of the page
    double columnGap = 0; // between the columns
    double rowGap = 0;    // below each row of labels
    int firstLabel = 1;   // the first free label of the first sheet, counted across then down

    bool operator==(const DataBand &other) const;
};

struct PageSetup
{
    QString paper = QStringLiteral("A4"); // or "custom"
    bool landscape = false;
    double width = 210;
    double height = 297;
    QMarginsF margins{10, 10, 10, 10};

    bool operator==(const PageSetup &) const = default;
};

// Limits every page is checked against, in millimetres.
inline constexpr double kMinPaper = 20;
inline constexpr double kMaxLength = 10000;
inline constexpr double kMinPrintable = 10; // across and down, inside the margins

// Why `page` cannot be printed on (a size or margin that is not a number, negative or absurd,
// margins that leave less than kMinPrintable); empty when it can.
QString pageProblem(const PageSetup &page);

struct Template
{
    PageSetup page;
    std::optional<Band> title; // first page only, above the page header
    std::optional<Band> pageHeader;
    std::optional<Band> pageFooter; // at the bottom of every page
    std::optional<Band> summary;    // once, after all data
    QList<DataBand> data;

    bool operator==(const Template &) const = default;

    // The item of that name in any band, for texts set before showing; null when none.
    Item *findObject(const QString &name);
};

QByteArray toJson(const Template &report);
// False, with the reason, for a text that is not a template of this program or is of a newer
// version; nothing is half-read.
bool fromJson(const QByteArray &json, Template *report, QString *error);

// Reads a template file; the error names the file.
bool load(const QString &path, Template *report, QString *error);
// Writes a new file and only then replaces the old one, which is kept as "<path>.bak".
bool save(const QString &path, const Template &report, QString *error);

} // namespace Report
