#include "core/viewer/ViewerColumns.h"

#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsKeys.h"

#include <algorithm>
#include <numeric>

namespace {
// clang-format off
constexpr std::array<ViewerColumnInfo, ViewerColumnCount> Columns = {{
    {"ShowDateColumn",     "&Date",         "Date",         58,  10, "Date",       "Oldest",      "Newest"},
    {"ShowDayColumn",      "Da&y",          "Day",          60,  12, "Day",        "First",       "Last"},
    {"ShowStartColumn",    "&Start Time",   "Start Time",   55,  10, "Start Time", "Earliest",    "Latest"},
    {"ShowEndColumn",      "&End Time",     "End Time",     53,   8, "End Time",   "Earliest",    "Latest"},
    {"ShowDurationColumn", "D&uration",     "Duration",     50,   9, "Duration",   "Shortest",    "Longest"},
    {"ShowCostExcColumn",  "Cost e&xc. Tax", "Cost exc Tax", 66,  12, "Cost exc Tax", "Least",       "Most"},
    {"ShowCostIncColumn",  "Cost &Inc. Tax", "Cost inc Tax", 65,  12, "Cost inc Tax", "Least",       "Most"},
    {"showTypeColumn",     "&Type Of Call", "Type Of Call", 70,  14, "Call Type",  "Nearest 'A'", "Nearest 'Z'"},
    {"ShowDistanceColumn", "Dista&nce",     "Distance",     45,  13, "Distance",   "Shortest",    "Furthest"},
    {"ShowRateColumn",     "R&ate",         "Rate",         130, 30, "Rate",       "Nearest 'A'", "Nearest 'Z'"},
    {"ShowNumberColumn",   "Nu&mber",       "Number",       110, 16, "Number",     "Nearest 'A'", "Nearest 'Z'"},
}};
// clang-format on

// A width from the file that no screen could show is taken as the largest sensible one.
constexpr int MaxWidth = 4000;

QString key(const char* name) {
    return QLatin1String(name);
}
} // namespace

bool shownByDefault(int column) {
    return column != NumberColumn;
}

const ViewerColumnInfo& viewerColumnInfo(int column) {
    return Columns[size_t(std::clamp(column, 1, ViewerColumnCount) - 1)];
}

int ColumnLayout::HowManyActive() const {
    return int(std::count(m_visible.begin(), m_visible.end(), true));
}

int ColumnLayout::FindBiggest() const {
    int biggest = 0;
    for (int c = 1; c <= ViewerColumnCount; ++c) {
        if (isVisible(c))
            biggest = std::max(biggest, position(c));
    }
    return biggest + 1;
}

int ColumnLayout::columnAt(int gridIndex) const {
    for (int c = 1; c <= ViewerColumnCount; ++c) {
        if (isVisible(c) && position(c) == gridIndex)
            return c;
    }
    return NoColumn;
}

void ColumnLayout::toggleColumn(int column) {
    int& position = m_position[column - 1];
    if (isVisible(column)) {
        if (HowManyActive() == 1)
            return; // the last shown column stays
        m_visible[column - 1] = false;
        MoveAboveColumns(column, position, -1);
        return;
    }
    m_visible[column - 1] = true;
    if (position >= HowManyActive())
        position = HowManyActive() - 1;
    MoveAboveColumns(column, position, +1);
}

void ColumnLayout::MoveAboveColumns(int column, int position, int delta) {
    for (int c = 1; c <= ViewerColumnCount; ++c) {
        if (c != column && isVisible(c) && m_position[c - 1] >= position)
            m_position[c - 1] += delta;
    }
}

void ColumnLayout::columnMoved(int from, int to) {
    const int moved = columnAt(from);
    if (moved == NoColumn)
        return;
    for (int c = 1; c <= ViewerColumnCount; ++c) {
        if (c == moved || !isVisible(c))
            continue;
        int& p = m_position[c - 1];
        if (from <= to && p > from && p <= to)
            --p;
        else if (from > to && p >= to && p < from)
            ++p;
    }
    m_position[moved - 1] = to;
}

void ColumnLayout::reset() {
    std::iota(m_position.begin(), m_position.end(), 0);
    for (int c = 1; c <= ViewerColumnCount; ++c)
        m_visible[c - 1] = shownByDefault(c);
}

void ColumnLayout::repair() {
    if (HowManyActive() == 0)
        m_visible[DateColumn - 1] = true;
    std::array<int, ViewerColumnCount> order;
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        // Shown columns first, in their stored order.
        if (m_visible[a] != m_visible[b])
            return m_visible[a];
        return m_visible[a] && m_position[a] < m_position[b];
    });
    for (int i = 0; i < ViewerColumnCount; ++i) {
        const int c = order[size_t(i)];
        if (m_visible[c])
            m_position[c] = i;
        else
            m_position[c] = std::clamp(m_position[c], 0, ViewerColumnCount - 1);
    }
}

void ColumnLayout::read(const SettingsSnapshot& settings) {
    for (int c = 1; c <= ViewerColumnCount; ++c) {
        const SettingsKeys::ViewerColumnKeys& k = SettingsKeys::ViewerColumns[size_t(c - 1)];
        m_position[c - 1] = settings.ReadSettingInteger(SettingsKeys::ViewerSection, key(k.position), c - 1);
    }
    for (int c = 1; c <= ViewerColumnCount; ++c) {
        const SettingsKeys::ViewerColumnKeys& k = SettingsKeys::ViewerColumns[size_t(c - 1)];
        m_visible[c - 1] =
            settings.ReadSettingBool(SettingsKeys::ViewerSection, key(k.shown), shownByDefault(c));
    }
    repair();
}

bool ColumnLayout::write(const SettingsFile& settings) const {
    SettingsChanges changes;
    for (int c = 1; c <= ViewerColumnCount; ++c) {
        const SettingsKeys::ViewerColumnKeys& k = SettingsKeys::ViewerColumns[size_t(c - 1)];
        changes.setInteger(SettingsKeys::ViewerSection, key(k.position), position(c));
    }
    for (int c = 1; c <= ViewerColumnCount; ++c) {
        const SettingsKeys::ViewerColumnKeys& k = SettingsKeys::ViewerColumns[size_t(c - 1)];
        changes.setBool(SettingsKeys::ViewerSection, key(k.shown), isVisible(c));
    }
    return settings.write(changes);
}

int readColumnWidth(const SettingsSnapshot& settings, int column) {
    const SettingsKeys::ViewerColumnKeys& k = SettingsKeys::ViewerColumns[size_t(column - 1)];
    return std::clamp(settings.ReadSettingInteger(SettingsKeys::ViewerSection, key(k.width), k.defaultWidth),
                      0, MaxWidth);
}

bool writeColumnWidths(const SettingsFile& settings, const ColumnLayout& layout,
                       const std::function<int(int column)>& widthOf, int exceptColumn) {
    SettingsChanges changes;
    for (int c = 1; c <= ViewerColumnCount; ++c) {
        if (c == exceptColumn || !layout.isVisible(c))
            continue;
        const SettingsKeys::ViewerColumnKeys& k = SettingsKeys::ViewerColumns[size_t(c - 1)];
        changes.setInteger(SettingsKeys::ViewerSection, key(k.width), widthOf(c));
    }
    return settings.write(changes);
}
