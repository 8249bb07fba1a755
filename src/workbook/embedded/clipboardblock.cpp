#include "workbook/embedded/clipboardblock.h"

#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

namespace velmora {

namespace {

const QString kTypedMime = QStringLiteral("application/x-velmora-cells");
// "row column" of the copied block's top-left cell, 0-based.
const QString kOriginMime = QStringLiteral("application/x-velmora-cells-origin");

QString quoted(const QString& cell) {
    if (!cell.contains(u'\t') && !cell.contains(u'\n') && !cell.contains(u'\r') &&
        !cell.startsWith(u'"'))
        return cell;
    return u'"' + QString(cell).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

// A quoted cell from its opening quote: its text and where it ends; nullopt
// when the quote never closes (the cell is then taken as it stands).
std::optional<std::pair<QString, qsizetype>> readQuoted(const QString& text, qsizetype from) {
    QString cell;
    for (qsizetype i = from + 1; i < text.size(); ++i) {
        if (text[i] != u'"') {
            cell += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == u'"') {
            cell += u'"';
            ++i;
        } else {
            return std::pair{cell, i + 1};
        }
    }
    return std::nullopt;
}

QString cellText(QTextTableCell cell) {
    QTextCursor c = cell.firstCursorPosition();
    c.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    QString text = c.selectedText();
    // Paragraphs and <br> arrive as Unicode separators; &nbsp; as itself.
    text.replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n');
    text.replace(QChar::Nbsp, u' ');
    return text.trimmed();
}

QTextTable* firstTable(QTextFrame* frame) {
    for (QTextFrame* child : frame->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(child))
            return table;
        if (QTextTable* inner = firstTable(child))
            return inner;
    }
    return nullptr;
}

}  // namespace

QString blockToTsv(const CellBlock& block) {
    QString out;
    for (const QStringList& row : block) {
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (c > 0)
                out += u'\t';
            out += quoted(row[c]);
        }
        out += u'\n';
    }
    return out;
}

CellBlock blockFromTsv(const QString& source) {
    QString text = source;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    if (text.endsWith(u'\n'))
        text.chop(1);
    CellBlock block;
    if (text.isEmpty())
        return block;
    QStringList row;
    qsizetype i = 0;
    while (true) {
        QString cell;
        qsizetype end = i;
        if (i < text.size() && text[i] == u'"') {
            if (const auto q = readQuoted(text, i)) {
                cell = q->first;
                end = q->second;
                // Text after the closing quote belongs to the cell.
                while (end < text.size() && text[end] != u'\t' && text[end] != u'\n')
                    cell += text[end++];
            }
        }
        if (end == i) {
            while (end < text.size() && text[end] != u'\t' && text[end] != u'\n') ++end;
            cell = text.mid(i, end - i);
        }
        row << cell;
        if (end >= text.size()) {
            block << row;
            return block;
        }
        if (text[end] == u'\n') {
            block << row;
            row.clear();
        }
        i = end + 1;
    }
}

QString blockToHtml(const CellBlock& block) {
    QString out = QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body><table>");
    for (const QStringList& row : block) {
        out += QStringLiteral("<tr>");
        for (const QString& cell : row)
            out += QStringLiteral("<td>") +
                   cell.toHtmlEscaped().replace(u'\n', QStringLiteral("<br>")) +
                   QStringLiteral("</td>");
        out += QStringLiteral("</tr>");
    }
    return out + QStringLiteral("</table></body></html>");
}

std::optional<CellBlock> blockFromHtml(const QString& html) {
    if (!html.contains(QStringLiteral("<table"), Qt::CaseInsensitive))
        return std::nullopt;
    QTextDocument document;
    document.setHtml(html);
    QTextTable* table = firstTable(document.rootFrame());
    if (!table)
        return std::nullopt;
    CellBlock block;
    for (int r = 0; r < table->rows(); ++r) {
        QStringList row;
        for (int c = 0; c < table->columns(); ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            row << (cell.row() == r && cell.column() == c ? cellText(cell) : QString());
        }
        block << row;
    }
    return block;
}

QMimeData* blockMimeData(const CellBlock& shown, const CellBlock& typed,
                         std::optional<CellRef> origin) {
    auto* data = new QMimeData;
    data->setText(blockToTsv(shown));
    data->setHtml(blockToHtml(shown));
    data->setData(kTypedMime, blockToTsv(typed).toUtf8());
    if (origin)
        data->setData(kOriginMime, QStringLiteral("%1 %2").arg(origin->row).arg(origin->column).toLatin1());
    return data;
}

PasteBlock blockToPaste(const QMimeData& data) {
    if (data.hasFormat(kTypedMime)) {
        PasteBlock block{blockFromTsv(QString::fromUtf8(data.data(kTypedMime))), std::nullopt};
        const QList<QByteArray> origin = data.data(kOriginMime).split(' ');
        bool row = false, column = false;
        if (origin.size() == 2) {
            const CellRef at{origin[0].toInt(&row), origin[1].toInt(&column)};
            if (row && column && at.row >= 0 && at.row < CellRef::kMaxRows && at.column >= 0 &&
                at.column < CellRef::kMaxColumns)
                block.origin = at;
        }
        return block;
    }
    if (data.hasHtml())
        if (const auto block = blockFromHtml(data.html()))
            return {*block, std::nullopt};
    return {blockFromTsv(data.text()), std::nullopt};
}

}  // namespace velmora
