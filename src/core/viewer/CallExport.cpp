#include "core/viewer/CallExport.h"

#include "core/seams/DayCount.h"
#include "core/spending/Money.h"
#include "core/storage/AtomicFile.h"
#include "core/storage/StoredNumber.h"
#include "core/storage/TextCodec.h"
#include "core/viewer/CallCells.h"
#include "core/viewer/CallLogViewer.h"
#include "core/viewer/CallTableModel.h"
#include "core/viewer/SpreadsheetCells.h"
#include "core/viewer/ViewerColumns.h"

#include <QHash>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <bit>
#include <iterator>
#include <limits>
#include <optional>
#include <vector>

namespace CallExport {

namespace {

constexpr qsizetype BlockChars = 1 << 16;

void appendBlanks(QString& line, qsizetype count) {
    line.resize(line.size() + count, QLatin1Char(' '));
}

void appendCentred(QString& line, QStringView text, int width) {
    if (text.size() > width) {
        line += QLatin1Char(' ');
        line += text;
        line += QLatin1Char(' ');
        return;
    }
    const qsizetype left = (width - text.size()) / 2;
    appendBlanks(line, left);
    line += text;
    appendBlanks(line, width - left - text.size());
}

void appendCommaField(QString& line, const QString& text) {
    line += CallExport::commaField(text);
    line += QLatin1Char(',');
}

// The date text of each day. A date text needs the local time of the day,
// which glibc checks against the zone file every time: this makes that one
// check per day for both readings of the calls. The days of a few centuries
// are kept; beyond that (a damaged log) a date is made each time.
class DateTexts {
public:
    // The text and whether it was made just now (not found here).
    std::pair<QString, bool> text(const CallRecord& call, const QString& symbol, const RateNames& rates) {
        // A damaged date is on no day: its (empty) text is made each time.
        const std::optional<qint64> day = StoredNumber::toInteger(DayCount::dateOf(call.date));
        if (!day)
            return {callCellText(call, DateColumn, symbol, rates), true};
        if (const auto found = m_texts.constFind(*day); found != m_texts.cend())
            return {*found, false};
        QString text = callCellText(call, DateColumn, symbol, rates);
        if (m_texts.size() < MostDays)
            m_texts.insert(*day, text);
        return {text, true};
    }

private:
    static constexpr qsizetype MostDays = 1 << 16;
    QHash<qint64, QString> m_texts;
};

// The amount texts met last, by the stored amount: a log's amounts repeat
// (the same charges, the same lengths of call), and each text costs a
// decimal conversion and a look at the locale.
class MoneyTexts {
public:
    // make() gives the text of the call's amount in the column.
    template <typename Make> QString text(const CallRecord& call, int column, const Make& make) {
        const float amount = column == CostExcTaxColumn ? call.netCost : call.grossCost;
        const quint32 bits = std::bit_cast<quint32>(amount);
        Entry& entry = m_entries[(bits ^ (bits >> 13)) % m_entries.size()];
        if (!entry.filled || entry.bits != bits)
            entry = {bits, make(), true};
        return entry.text;
    }

private:
    struct Entry {
        quint32 bits = 0;
        QString text;
        bool filled = false;
    };
    std::vector<Entry> m_entries = std::vector<Entry>(4096);
};

class Rows {
public:
    explicit Rows(const Layout& layout) : m_layout(layout) {
        for (int i = 0; i < layout.columns.HowManyActive(); ++i) {
            const int column = layout.columns.columnAt(i);
            m_columns.push_back(column);
            m_widths.push_back(column == NoColumn ? 0 : viewerColumnInfo(column).fieldWidth);
        }
    }

    bool shows(int column) const {
        return std::find(m_columns.begin(), m_columns.end(), column) != m_columns.end();
    }
    // A ruled column is as wide as its widest text, its field width at least.
    void measure(int column, const QString& text) {
        for (size_t i = 0; i < m_columns.size(); ++i) {
            if (m_columns[i] == column)
                m_widths[i] = std::max(m_widths[i], int(text.size()));
        }
    }
    void measureGrid(qsizetype gridColumn, const QString& text) {
        int& width = m_widths[size_t(gridColumn)];
        width = std::max(width, int(text.size()));
    }

    QString cell(const CallRecord& call, int column) {
        const bool money = column == CostExcTaxColumn || column == CostIncTaxColumn;
        if (m_layout.form == Form::Spreadsheet) {
            const auto value = [&] { return SpreadsheetCells::value(call, column, m_layout.rates); };
            return money ? m_money.text(call, column, value) : value();
        }
        if (column == DateColumn)
            return m_dates.text(call, m_layout.symbol, m_layout.rates).first;
        const auto text = [&] { return callCellText(call, column, m_layout.symbol, m_layout.rates); };
        return money ? m_money.text(call, column, text) : text();
    }
    // A date text not met before (for the survey), else nothing.
    std::optional<QString> newDate(const CallRecord& call) {
        auto [text, made] = m_dates.text(call, m_layout.symbol, m_layout.rates);
        return made ? std::optional<QString>(std::move(text)) : std::nullopt;
    }

    QStringList titles() const {
        QStringList texts;
        for (int column : m_columns) {
            if (column == NoColumn)
                texts << QString();
            else if (m_layout.form == Form::Spreadsheet)
                texts << SpreadsheetCells::title(column, m_layout.symbol);
            else
                texts << QLatin1String(viewerColumnInfo(column).header);
        }
        return texts;
    }

    void appendLine(QString& line, const QStringList& texts) const {
        if (m_layout.form == Form::Ruled)
            line += QLatin1Char('|');
        for (qsizetype i = 0; i < texts.size(); ++i)
            appendCell(line, texts[i], i);
    }

    void appendCall(QString& line, const CallRecord& call) {
        if (m_layout.form == Form::Ruled)
            line += QLatin1Char('|');
        for (size_t i = 0; i < m_columns.size(); ++i)
            appendCell(line, cell(call, m_columns[i]), qsizetype(i));
    }

    void appendCell(QString& line, const QString& text, qsizetype gridColumn) const {
        switch (m_layout.form) {
        case Form::Ruled:
            appendCentred(line, text, m_widths[size_t(gridColumn)]);
            line += QLatin1Char('|');
            break;
        case Form::Comma:
            appendCommaField(line, text);
            break;
        case Form::Spreadsheet:
            // Between the fields only.
            if (gridColumn > 0)
                line += QLatin1Char(',');
            line += commaField(text);
            break;
        }
    }

    QString rule() const {
        QString line = QStringLiteral("+");
        for (int width : m_widths)
            line += QString(width, QLatin1Char('-')) + QLatin1Char('+');
        return line;
    }

private:
    const Layout& m_layout;
    std::vector<int> m_columns;
    std::vector<int> m_widths;
    DateTexts m_dates;
    MoneyTexts m_money;
};

// Encodes and hands on the text a block at a time.
class Output {
public:
    Output(TextCodec::Encoding encoding, const ByteSink& sink, QString* reason)
        : m_encoding(encoding), m_sink(sink), m_reason(reason) {
        m_text.reserve(BlockChars + 4096);
    }
    QString& text() { return m_text; }
    bool failed() const { return m_failed; }
    bool send(QByteArrayView bytes) {
        if (!m_failed && !m_sink(bytes, m_reason))
            m_failed = true;
        return !m_failed;
    }
    bool flush(bool whenFull) {
        if (m_failed || m_text.isEmpty() || (whenFull && m_text.size() < BlockChars))
            return !m_failed;
        const std::optional<QByteArray> bytes = TextCodec::encodeAs(m_encoding, m_text);
        m_text.clear();
        if (!bytes) {
            if (m_reason)
                *m_reason = QStringLiteral("The text cannot be stored");
            m_failed = true;
            return false;
        }
        return send(*bytes);
    }

private:
    TextCodec::Encoding m_encoding;
    const ByteSink& m_sink;
    QString* m_reason;
    QString m_text;
    bool m_failed = false;
};

// The smallest and largest amount of a money column: their texts are its widest.
class AmountRange {
public:
    void add(float amount) {
        if (!Money::isAmount(amount))
            return;
        m_least = std::min(m_least, amount);
        m_most = std::max(m_most, amount);
    }
    bool empty() const { return m_least > m_most; }
    QStringList texts(const QString& symbol) const {
        if (empty())
            return {};
        return {viewerMoney(m_least, symbol), viewerMoney(m_most, symbol)};
    }

private:
    float m_least = std::numeric_limits<float>::infinity();
    float m_most = -std::numeric_limits<float>::infinity();
};

bool fail(QString* reason, const QString& why) {
    if (reason)
        *reason = why;
    return false;
}

} // namespace

QStringList headerLines(bool printout, double now, bool selectionOnly, const QString& summary) {
    const QDateTime created = DayCount::toDateTime(now);
    const QLocale locale;
    // The system's long time, without the time zone the clock does not keep.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QRegularExpression(QStringLiteral("\\s*\\bt+\\b")));
    return {printout ? QStringLiteral("Dialtally Pro v1.0 Call log Printout")
                     : QStringLiteral("Dialtally Pro v1.0 exported call log file."),
            QStringLiteral("Created On %1 at %2.")
                .arg(locale.toString(created.date(), QLocale::ShortFormat),
                     locale.toString(created.time(), timeFormat.trimmed())),
            selectionOnly ? QStringLiteral("Contains A Selection of Calls Only.")
                          : QStringLiteral("Contains All Calls."),
            summary};
}

QString CentreInColumn(const QString& text, int width) {
    QString line;
    appendCentred(line, text, width);
    return line;
}

Layout layoutOf(const CallTableModel& table, Form form) {
    return {table.layout(), table.rates(), table.symbol(), form, table.isEmptyTable()};
}

CallSource tableRows(const CallTableModel& table, int first, int last) {
    return [&table, first, last](const CallVisitor& visit, QString*) {
        const std::vector<CallRecord>& calls = table.calls();
        for (qint64 row = std::max(first, 0); row <= last && row < qint64(calls.size()); ++row)
            visit(calls[size_t(row)]);
        return true;
    };
}

bool stream(const Layout& layout, const CallSource& calls, const Header& header, const ByteSink& sink,
            QString* reason, const Progress& progress) {
    Rows rows(layout);

    // First the calls are counted, and every text they show that can be other
    // than ASCII is surveyed: the encoding is chosen before the first byte.
    // The ruled layout's widths are measured on the way, from the texts that
    // can be wider than their fields: dates, amounts, rate names and the
    // names of numbers.
    TextCodec::Survey survey;
    qint64 count = 0;
    MoneySum gross;
    const bool ruled = layout.form == Form::Ruled;
    const bool spreadsheet = layout.form == Form::Spreadsheet;
    // A spreadsheet's CSV and standard output on a terminal or a pipe are
    // UTF-8 whatever they hold: only the ruled layout's widths need the survey then.
    const bool utf8 = spreadsheet || layout.standardStream;
    const bool showsRate = rows.shows(RateColumn);
    const bool showsDate = rows.shows(DateColumn);
    const bool showsNet = rows.shows(CostExcTaxColumn);
    const bool showsGross = rows.shows(CostIncTaxColumn);
    const NumberNames* numbers = rows.shows(NumberColumn) ? layout.rates.numbers.get() : nullptr;
    std::vector<bool> rateSeen(size_t(1) << 16, false);
    std::vector<bool> numberSeen(numbers ? size_t(numbers->labels().size()) : 0, false);
    AmountRange netAmounts;
    AmountRange grossAmounts;
    const bool counted = calls(
        [&](const CallRecord& call) {
            ++count;
            gross.add(call.grossCost);
            if (utf8 && !ruled)
                return;
            if (showsRate && !rateSeen[call.rateNameKey]) {
                rateSeen[call.rateNameKey] = true;
                const QString name = layout.rates.nameFor(call.rateNameKey);
                TextCodec::survey(survey, name);
                rows.measure(RateColumn, name);
            }
            if (showsDate) {
                if (const std::optional<QString> date = rows.newDate(call)) {
                    TextCodec::survey(survey, *date);
                    rows.measure(DateColumn, *date);
                }
            }
            if (numbers) {
                if (const int label = numbers->labelOf(call); label >= 0 && !numberSeen[size_t(label)]) {
                    numberSeen[size_t(label)] = true;
                    TextCodec::survey(survey, numbers->labels()[label]);
                    rows.measure(NumberColumn, numbers->labels()[label]);
                }
            }
            if (showsNet)
                netAmounts.add(call.netCost);
            if (showsGross)
                grossAmounts.add(call.grossCost);
        },
        reason);
    if (!counted)
        return false;
    // Every amount is the symbol, digits, the decimal point and perhaps a minus.
    if (!netAmounts.empty() || !grossAmounts.empty())
        TextCodec::survey(survey, viewerMoney(-1, layout.symbol));
    for (const QString& text : netAmounts.texts(layout.symbol))
        rows.measure(CostExcTaxColumn, text);
    for (const QString& text : grossAmounts.texts(layout.symbol))
        rows.measure(CostIncTaxColumn, text);
    const QStringList head = header(count, gross.total());
    const QStringList titles = rows.titles();
    for (const QString& line : head + titles)
        TextCodec::survey(survey, line);
    for (qsizetype i = 0; i < titles.size(); ++i)
        rows.measureGrid(i, titles[i]);
    const bool noCallsRow = count == 0 && layout.noCallsRow && !titles.isEmpty() && !spreadsheet;
    if (noCallsRow)
        rows.measureGrid(0, CallTableModel::NoCallsText);
    // The other texts (days, times, bands, distances, rules) are ASCII, and fit their fields.
    const TextCodec::Encoding encoding = utf8 ? TextCodec::Encoding::Utf8 : TextCodec::choice(survey);
    if (encoding == TextCodec::Encoding::None)
        return fail(reason, QStringLiteral("The text cannot be stored"));

    Output out(encoding, sink, reason);
    // Spreadsheets take a file without a byte-order mark for the system's code page.
    if (encoding == TextCodec::Encoding::Utf8 && !layout.standardStream && !out.send("\xEF\xBB\xBF"))
        return false;
    const QLatin1String lineEnd(layout.standardStream && !spreadsheet ? "\n" : "\r\n");
    QString& text = out.text();
    if (!spreadsheet) {
        for (const QString& line : head)
            text += line + lineEnd;
        text += lineEnd;
    }
    if (!ruled) {
        rows.appendLine(text, titles);
        text += lineEnd;
    } else {
        const QString rule = rows.rule();
        text += rule + lineEnd;
        rows.appendLine(text, titles);
        text += lineEnd + rule + lineEnd;
    }

    qint64 written = 0;
    int percent = -1;
    const bool read = calls(
        [&](const CallRecord& call) {
            if (out.failed() || written >= count)
                return;
            rows.appendCall(text, call);
            text += lineEnd;
            ++written;
            out.flush(true);
            if (progress && written * 100 / count != percent)
                progress(percent = int(written * 100 / count));
        },
        reason);
    if (!read || out.failed())
        return false;
    if (written != count)
        return fail(reason, QStringLiteral("The calls changed while they were being exported"));
    if (noCallsRow) {
        QStringList empty(titles.size());
        empty[0] = CallTableModel::NoCallsText;
        rows.appendLine(text, empty);
        text += lineEnd;
    }
    if (ruled)
        text += rows.rule() + lineEnd;
    return out.flush(false);
}

QString write(const QString& path, const Layout& layout, const CallSource& calls, const Header& header,
              const Progress& progress) {
    AtomicFile file(path);
    QString reason;
    if (!file.open(&reason) ||
        !stream(
            layout, calls, header,
            [&file](QByteArrayView bytes, QString* why) { return file.write(bytes, why); }, &reason,
            progress) ||
        !file.commit(&reason))
        return CallLogViewer::cannotWrite(path, reason);
    return {};
}

QString fileFilters() {
    return QStringLiteral("Comma-separated values (*.csv);;Excel Compatible File (*.prn);;"
                          "Text File (*.txt);;Any File (*.*)");
}

QString fileNameFor(const QString& chosen, int filterIndex) {
    if (chosen.size() >= 4 && chosen[chosen.size() - 4] == QLatin1Char('.'))
        return chosen;
    static const char* const Extensions[] = {".csv", ".prn", ".txt"};
    if (filterIndex >= 0 && filterIndex < int(std::size(Extensions)))
        return chosen + QLatin1String(Extensions[filterIndex]);
    return chosen;
}

Form formFor(const QString& fileName) {
    if (fileName.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
        return Form::Spreadsheet;
    return fileName.endsWith(QStringLiteral("prn"), Qt::CaseInsensitive) ? Form::Comma : Form::Ruled;
}

QString commaField(const QString& text) {
    const auto special = [](QChar c) { return c == u',' || c == u'"' || c == u'\r' || c == u'\n'; };
    if (std::none_of(text.cbegin(), text.cend(), special))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

} // namespace CallExport
