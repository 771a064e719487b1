#pragma once

#include "core/seams/BoxesOver.h"
#include "core/seams/Services.h"
#include "core/settings/SettingsFile.h"
#include "core/viewer/CallLogViewer.h"

#include <QDialog>

#include <array>
#include <memory>
#include <optional>
#include <utility>

class QAction;
class QFontMetricsF;
class QFrame;
class QLabel;
class QMenu;
class QPageLayout;
class QPagedPaintDevice;
class QPrinter;
class QPushButton;
class QTableView;
class QTimer;
class TProgressForm;

// The call log viewer: every logged call in the grid DataBank, with its
// columns, sorting, selection, deletion, export and printing. The window shows
// and forwards; CallLogViewer keeps the state and does the work on the files.
class TDataForm : public QDialog {
    Q_OBJECT
public:
    static inline const QString Caption = QStringLiteral("Logged Call Data");
    static constexpr int HelpContext = 8;

    explicit TDataForm(const Services& services, QWidget* parent = nullptr);
    ~TDataForm() override;

    const CallLogViewer& viewer() const { return *m_viewer; }
    // The highlighted rows, 0-based: top and bottom; nothing when no row is.
    std::optional<std::pair<int, int>> selectedRows() const;

    // Table and columns.
    // Fills the table; returns the message to show once the command is done.
    QString LoadData();
    void ReadIniSettings();
    void ReadWidthSettings();
    void WriteIniSettings();
    void ShowColumnClick(int column); // the ten show/hide items
    void HideColumnClick();
    void DataBankColumnMoved(int fromIndex, int toIndex);
    void ResetColumnsClick();
    void HelpBtnClick();

    // Sorting.
    void SortButtonClick();
    void SortMenuClick(int column, bool descending); // the twenty sort items
    void SortIntoOrder(int gridColumn);
    void sortcolAscendClick();
    void SortColDescendClick();
    void openColumnMenu(int gridColumn, const QPoint& globalPos);

    // Selection and deletion.
    void SelectButtonClick();
    void SelectNoneClick();
    void SelectAllClick();
    void PeriodSelection(SelectionPeriod period);
    void DeleteSelectedRecordsClick();
    void DeleteRecord();
    void InfoOffTimerTimer();
    void FlashTimerTimer();

    // Export and printing.
    void ExportAllClick();
    void ExportSelectedClick();
    void Print1Click();
    void PrintSetup1Click();
    // Which tariff would have been cheapest for the selected calls, or for
    // all of them when none are selected.
    void CompareTariffsClick();
    // The printout as a PDF file, with no printer: of the selection when its panel shows.
    void ExportPdfClick();
    // Prints rows firstRow..lastRow (0-based); selectionOnly as the print dialog chose.
    // A printer that prints to a PDF file has it written as an export is.
    void PrintCalls(int firstRow, int lastRow, bool selectionOnly, QPrinter& printer);

protected:
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The hourglass while a command works through the log. The progress
    // window lets the window system draw it meanwhile; the viewer must not
    // close under the command then.
    class Busy {
    public:
        explicit Busy(TDataForm& form);
        ~Busy();
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;

    private:
        TDataForm& m_form;
    };

    void buildLayout();
    void buildSortPanel();
    void paintArrows();
    void buildMenus();
    void buildFileMenu(QMenu* file);
    void connectControls();
    void fitWidthToColumns();
    // Each shown column as wide as its setting, and as its header and widest
    // text unless the user has sized it in this window.
    void applyWidths();
    int neededWidth(int gridColumn) const;
    // Texts at least as wide as any the grid column shows, in a type.
    QStringList widestTexts(int gridColumn, const QFontMetricsF& metrics) const;
    void DataBankColumnResized(int gridColumn, int size);

    QString ShowColumnLastPart();
    void OnlyColumn();
    QString ReloadTable();
    bool WriteWidthSettings(int exceptColumn);
    QString sortBy(int gridColumn);
    QString SetupSortDisplay(int gridColumn);
    void QuickSort(int sortKey);
    void showSortState(int column);
    void selectRows(int top, int bottom);
    void clearSelection();
    // The rows an export or printout of all calls or of the selection takes;
    // nothing, once the user has been told, when no row is highlighted.
    std::optional<std::pair<int, int>> outputRows(bool selectedOnly);
    QPrinter& printer();
    void writePdf(const QString& path, int firstRow, int lastRow, bool selectionOnly,
                  const QPageLayout& page);
    // Prints on the device, its type fitted to the page (and the page turned
    // when it must be) so that every text is whole. False when the printout
    // cannot start.
    bool paintCalls(QPagedPaintDevice& device, int firstRow, int lastRow, bool selectionOnly,
                    const QString& deviceName);
    // A message naming the file when it is one of the program's own, which
    // no export may write over; else nothing.
    QString ownFileMessage(const QString& path) const;
    void updateSummary();
    void askToDelete();
    void exportCalls(bool selectedOnly);
    QString summaryShown(bool selectionOnly) const;
    // Shows a failure once the command is complete.
    void tell(const QString& message);

    Services m_services;
    BoxesOver m_boxesOver; // the viewer hides the window that opens it
    SettingsFile m_settings;
    TProgressForm* m_progress = nullptr;
    std::unique_ptr<CallLogViewer> m_viewer;
    int m_popupColumn = -1;                               // the grid column under the last right click
    std::array<int, ViewerColumnCount> m_widthSettings{}; // what the settings file holds or will
    std::array<bool, ViewerColumnCount> m_widthChosen{};  // sized by the user in this window
    bool m_sizingInCode = false;
    std::unique_ptr<QPrinter> m_printer; // kept from the printer set-up to the printout
    int m_busy = 0;                      // commands under way
    bool m_selectingInCode = false;      // a selection the user did not make in the grid

    QTableView* DataBank = nullptr;
    QFrame* SecondLeftPanel = nullptr;
    QLabel* TopSortLabel = nullptr;
    QLabel* SortOrder = nullptr;
    QLabel* BottomSortLabel = nullptr;
    std::array<QLabel*, 4> m_arrows{}; // small up, large up, large down, small down
    QFrame* TotalPanel = nullptr;
    QLabel* TotalCostLabel = nullptr;
    QFrame* SelectedRecordsPanel = nullptr;
    QLabel* SelectedAmount = nullptr;
    QPushButton* DeleteSelectedRecords = nullptr;
    QLabel* SelectionNotice = nullptr;
    QPushButton* SelectButton = nullptr;
    QPushButton* SortButton = nullptr;
    QPushButton* HelpBtn = nullptr;

    std::array<QAction*, ViewerColumnCount> m_showColumn{};
    std::array<QMenu*, ViewerColumnCount> m_sortOrderMenus{};
    QAction* ResetColumns = nullptr;
    QMenu* SortCallsMenu = nullptr;
    QMenu* UserTotalMenu = nullptr;
    QMenu* DataBankPopupMenu = nullptr;

    QTimer* InfoOffTimer = nullptr;
    QTimer* FlashTimer = nullptr;
};
