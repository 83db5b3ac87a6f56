// Draws one of the input-format pictures the main window shows ("Thermo input file
// format", ...) from a text description of the layout, so the pictures follow the
// importers instead of being painted by hand.
//
//   kavro_format_picture <description.txt> <picture.png>
//
// The description is read line by line; the first word says what the line is:
//   title <text>        heading of the picture
//   subtitle <text>     one line under the heading
//   ruler <columns>     a column ruler (1 to <columns>) above the next sample lines
//   line <text>         a line of a data file, drawn as written (after "line " exactly)
//   mark <a>-<b> <text> columns a to b (from 1, inclusive) of the last sample line,
//                       shaded and labelled under it
//   note <text>         a paragraph of explanation, wrapped to the picture's width
//   gap                 some vertical space
//   # ...               a comment
// Any other line, a mark before the first sample line or outside it, or a picture that
// cannot be written ends the program with a message and a non-zero exit code, so the
// build stops rather than shipping an empty picture.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <vector>

#include <QColor>
#include <QFile>
#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTextStream>

namespace {

struct Mark {
    int from = 1; // first column, from 1
    int to = 1; // last column, inclusive
    QString label;
};

enum class ItemKind { Title, Subtitle, Ruler, Sample, Note, Gap };

struct Item {
    ItemKind kind = ItemKind::Gap;
    QString text;
    int columns = 0; // ruler
    std::vector<Mark> marks; // sample line
};

struct Description {
    std::vector<Item> items;
    int widestColumns = 0; // the widest sample line or ruler, in characters
};

[[noreturn]] void fail(const QString& message)
{
    std::fprintf(stderr, "kavro_format_picture: %s\n", message.toLocal8Bit().constData());
    std::exit(1);
}

Description readDescription(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        fail("cannot read " + path);
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    Description d;
    int lineNumber = 0;
    static const QRegularExpression markPattern(QStringLiteral("^(\\d+)-(\\d+)\\s+(.+)$"));
    while (!in.atEnd()) {
        const QString raw = in.readLine();
        ++lineNumber;
        const QString where = path + ":" + QString::number(lineNumber) + ": ";
        const QString trimmed = raw.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith('#'))
            continue;
        const QString word = trimmed.section(' ', 0, 0);
        const QString rest = trimmed.section(' ', 1).trimmed();
        Item item;
        if (word == "title") {
            item.kind = ItemKind::Title;
            item.text = rest;
        } else if (word == "subtitle") {
            item.kind = ItemKind::Subtitle;
            item.text = rest;
        } else if (word == "ruler") {
            bool ok = false;
            item.kind = ItemKind::Ruler;
            item.columns = rest.toInt(&ok);
            if (!ok || item.columns < 1 || item.columns > 400)
                fail(where + "a ruler needs a column count from 1 to 400");
            d.widestColumns = std::max(d.widestColumns, item.columns);
        } else if (word == "line") {
            // The sample keeps its blanks: everything after "line " as written.
            item.kind = ItemKind::Sample;
            item.text = raw.mid(raw.indexOf(QStringLiteral("line")) + 5);
            d.widestColumns = std::max(d.widestColumns, static_cast<int>(item.text.size()));
        } else if (word == "mark") {
            const QRegularExpressionMatch m = markPattern.match(rest);
            if (!m.hasMatch())
                fail(where + "a mark reads \"mark <first>-<last> <label>\"");
            if (d.items.empty() || d.items.back().kind != ItemKind::Sample)
                fail(where + "a mark must follow a sample line or another mark");
            Mark mark{m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3)};
            if (mark.from < 1 || mark.to < mark.from)
                fail(where + "the columns of a mark run from 1 upwards, first <= last");
            d.widestColumns = std::max(d.widestColumns, mark.to);
            d.items.back().marks.push_back(mark);
            continue;
        } else if (word == "note") {
            item.kind = ItemKind::Note;
            item.text = rest;
        } else if (word == "gap") {
            item.kind = ItemKind::Gap;
        } else {
            fail(where + "unknown line \"" + word + "\"");
        }
        d.items.push_back(item);
    }
    if (d.items.empty() || d.widestColumns == 0)
        fail(path + " describes no sample line");
    return d;
}

// Shades for the marks, light enough for black text on top.
const QColor kShades[] = {QColor(255, 214, 153), QColor(173, 216, 255), QColor(190, 240, 180),
                          QColor(255, 190, 210), QColor(220, 200, 255), QColor(255, 245, 160)};
// Darker versions for the labels and their leaders.
const QColor kInks[] = {QColor(170, 90, 0),  QColor(20, 90, 170), QColor(30, 120, 30),
                        QColor(170, 30, 80), QColor(90, 50, 170), QColor(130, 110, 0)};

class Renderer {
public:
    explicit Renderer(const Description& d) : d_(d)
    {
        mono_ = QFont(QStringLiteral("DejaVu Sans Mono"));
        mono_.setStyleHint(QFont::Monospace);
        mono_.setFixedPitch(true);
        mono_.setPixelSize(18);
        label_ = QFont(QStringLiteral("DejaVu Sans"));
        label_.setPixelSize(14);
        text_ = QFont(QStringLiteral("DejaVu Sans"));
        text_.setPixelSize(16);
        title_ = text_;
        title_.setPixelSize(26);
        title_.setBold(true);
        const QFontMetrics fm(mono_);
        charWidth_ = fm.horizontalAdvance(QLatin1Char('M'));
        lineHeight_ = fm.height() + 6;
        if (charWidth_ <= 0)
            fail("no font could be loaded to draw the picture");
        width_ = 2 * kMargin + charWidth_ * d_.widestColumns;
        width_ = std::max(width_, 900);
    }

    QImage render()
    {
        const int height = paint(nullptr);
        QImage image(width_, height, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        paint(&p);
        p.end();
        return image;
    }

private:
    static constexpr int kMargin = 40;

    int columnX(int column) const { return kMargin + (column - 1) * charWidth_; }

    // Where a mark's label goes: right of a leader at the mark's left end, or, when that
    // would run past the picture's edge, left of a leader at its right end.
    struct LabelPlace {
        int anchor = 0; // x of the leader
        int left = 0; // x where the text starts
        int width = 0;
        bool leftOfAnchor = false;
    };
    LabelPlace labelPlace(const Mark& m, const QFontMetrics& lm) const
    {
        LabelPlace place;
        place.width = lm.horizontalAdvance(m.label);
        place.anchor = columnX(m.from) + 4;
        place.left = place.anchor + 9;
        if (place.left + place.width > width_ - kMargin / 2) {
            place.anchor = columnX(m.to + 1) - 5;
            place.left = place.anchor - 9 - place.width;
            place.leftOfAnchor = true;
        }
        return place;
    }

    // Lays the items out from the top; draws them when `p` is given. Returns the height.
    int paint(QPainter* p) const
    {
        int y = kMargin;
        const int textWidth = width_ - 2 * kMargin;
        for (const Item& item : d_.items) {
            switch (item.kind) {
            case ItemKind::Title: y += block(p, title_, item.text, y, textWidth, Qt::black) + 6; break;
            case ItemKind::Subtitle: y += block(p, text_, item.text, y, textWidth, QColor(80, 80, 80)) + 14; break;
            case ItemKind::Note: y += block(p, text_, item.text, y, textWidth, Qt::black) + 8; break;
            case ItemKind::Gap: y += 18; break;
            case ItemKind::Ruler: y += ruler(p, item.columns, y); break;
            case ItemKind::Sample: y += sample(p, item, y); break;
            }
        }
        return y + kMargin;
    }

    int block(QPainter* p, const QFont& font, const QString& text, int y, int width, const QColor& colour) const
    {
        const QFontMetrics fm(font);
        const QRect r = fm.boundingRect(QRect(kMargin, y, width, 10000), Qt::TextWordWrap, text);
        if (p) {
            p->setFont(font);
            p->setPen(colour);
            p->drawText(QRect(kMargin, y, width, r.height()), Qt::TextWordWrap, text);
        }
        return r.height();
    }

    // Column numbers every ten columns, above a tick for every column (longer every five).
    int ruler(QPainter* p, int columns, int y) const
    {
        const QFontMetrics fm(label_);
        const int numbers = fm.height();
        const int tickBase = y + numbers + 12;
        if (p) {
            p->setFont(label_);
            p->setPen(QColor(110, 110, 110));
            for (int c = 1; c <= columns; ++c) {
                const int x = columnX(c) + charWidth_ / 2;
                const int len = c % 10 == 0 ? 10 : (c % 5 == 0 ? 7 : 4);
                p->drawLine(x, tickBase - len, x, tickBase);
                if (c % 10 == 0 || c == 1) {
                    const QString n = QString::number(c);
                    p->drawText(x - fm.horizontalAdvance(n) / 2, y + fm.ascent(), n);
                }
            }
            p->drawLine(columnX(1), tickBase, columnX(columns + 1), tickBase);
        }
        return numbers + 16;
    }

    // The sample line on its shaded marks, then the labels in rows, each joined to its mark.
    int sample(QPainter* p, const Item& item, int y) const
    {
        const QFontMetrics lm(label_);
        const int labelHeight = lm.height() + 4;
        // Rows of labels: each label goes to the first row where it does not overlap.
        std::vector<int> rowEnds;
        std::vector<int> rowOf;
        for (const Mark& m : item.marks) {
            const LabelPlace place = labelPlace(m, lm);
            const int x = place.left;
            const int end = place.left + place.width + 14;
            std::size_t r = 0;
            while (r < rowEnds.size() && rowEnds[r] > x)
                ++r;
            if (r == rowEnds.size())
                rowEnds.push_back(end);
            else
                rowEnds[r] = end;
            rowOf.push_back(static_cast<int>(r));
        }
        const int labelsTop = y + lineHeight_ + 6;
        if (p) {
            for (std::size_t k = 0; k < item.marks.size(); ++k) {
                const Mark& m = item.marks[k];
                const QColor& shade = kShades[k % std::size(kShades)];
                const QColor& ink = kInks[k % std::size(kInks)];
                const QRect span(columnX(m.from), y, (m.to - m.from + 1) * charWidth_, lineHeight_);
                p->fillRect(span.adjusted(1, 0, -1, 0), shade);
                p->setPen(QPen(ink, 1));
                p->drawRect(span.adjusted(1, 0, -2, -1));
                const int ly = labelsTop + rowOf[k] * labelHeight;
                const LabelPlace place = labelPlace(m, lm);
                const int tick = place.anchor + (place.leftOfAnchor ? -6 : 6);
                p->drawLine(place.anchor, span.bottom(), place.anchor, ly + lm.ascent() / 2);
                p->drawLine(place.anchor, ly + lm.ascent() / 2, tick, ly + lm.ascent() / 2);
                p->setFont(label_);
                p->drawText(place.left, ly + lm.ascent(), m.label);
            }
            p->setFont(mono_);
            p->setPen(Qt::black);
            const QFontMetrics fm(mono_);
            // Character by character on the column grid, so the marks line up whatever the font.
            for (int c = 0; c < item.text.size(); ++c)
                p->drawText(columnX(c + 1), y + (lineHeight_ + fm.ascent() - fm.descent()) / 2, item.text.at(c));
        }
        const int rows = static_cast<int>(rowEnds.size());
        return lineHeight_ + (rows > 0 ? 10 + rows * labelHeight : 4) + 4;
    }

    const Description& d_;
    QFont mono_, label_, text_, title_;
    int charWidth_ = 0;
    int lineHeight_ = 0;
    int width_ = 0;
};

} // namespace

int main(int argc, char** argv)
{
    // A build step: no display is needed or wanted.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        fail("usage: kavro_format_picture <description.txt> <picture.png>");
    const Description d = readDescription(args.at(1));
    const QImage image = Renderer(d).render();
    if (!image.save(args.at(2), "PNG"))
        fail("cannot write " + args.at(2));
    return 0;
}
