#pragma once

#include <QString>

#include <array>
#include <functional>

class SettingsFile;
class SettingsSnapshot;

// The log viewer's columns: the design's ten, then the number dialled (hidden
// until the user shows it, so the design's layout and exports stay as they
// are). The number is also the column's sort key.
enum ViewerColumn {
    NoColumn = 0,
    DateColumn = 1,
    DayColumn,
    StartTimeColumn,
    EndTimeColumn,
    DurationColumn,
    CostExcTaxColumn,
    CostIncTaxColumn,
    TypeOfCallColumn,
    DistanceColumn,
    RateColumn,
    NumberColumn,
};
constexpr int ViewerColumnCount = 11;
// Whether the column shows when the settings do not say, and after "Restore Defaults".
bool shownByDefault(int column);

// The three vocabularies of a column (menu, header, sort panel) and its sizes.
struct ViewerColumnInfo {
    const char* menuItem;    // object name of its "&Show Columns" item
    const char* menuCaption; // that item's caption
    const char* header;      // the header text
    int resetWidth;          // width after "Restore Defaults"
    int fieldWidth;          // characters in the ruled text export
    const char* sortOrder;   // the sort panel's middle text
    const char* firstText;   // top text when ascending
    const char* lastText;    // bottom text when ascending
};
const ViewerColumnInfo& viewerColumnInfo(int column);

// Where each column stands in the grid and whether it is shown. A hidden
// column keeps its position, so it comes back where it was.
class ColumnLayout {
public:
    ColumnLayout() { reset(); }

    int position(int column) const { return m_position[column - 1]; }
    bool isVisible(int column) const { return m_visible[column - 1]; }

    int HowManyActive() const;
    // 1 + the largest position of a visible column (so at least 1).
    int FindBiggest() const;
    // The visible column at a grid index; NoColumn when none stands there.
    int columnAt(int gridIndex) const;

    // The show/hide command: shown columns disappear and the ones to their
    // right close the gap; a hidden one comes back at its kept position, or
    // as the last column when that lies beyond the shown ones.
    void toggleColumn(int column);
    // Adds delta to the position of every shown column but `column` standing
    // at or right of `position`.
    void MoveAboveColumns(int column, int position, int delta);
    // The grid's column at index `from` was dragged to `to`.
    void columnMoved(int from, int to);
    // Positions in column order, the design's columns shown.
    void reset();

    // Positions and shown flags from "Data Viewer Defaults". Stored values
    // that would put two columns in one place, leave a gap or show nothing
    // are repaired, keeping the stored order.
    void read(const SettingsSnapshot& settings);
    // Positions and shown flags in one write; false when the file cannot be written.
    bool write(const SettingsFile& settings) const;

private:
    void repair();

    std::array<int, ViewerColumnCount> m_position{};
    std::array<bool, ViewerColumnCount> m_visible{};
};

// A shown column's width from the settings, with its default.
int readColumnWidth(const SettingsSnapshot& settings, int column);
// The width of every shown column but exceptColumn (NoColumn for none) in
// one write; false when the file cannot be written.
bool writeColumnWidths(const SettingsFile& settings, const ColumnLayout& layout,
                       const std::function<int(int column)>& widthOf, int exceptColumn);
