#pragma once

#include <QWidget>

class BillingEditor;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class RateEditor;
struct Services;

// The "Call Charges" page: the rate editor and the rate files of the program
// directory (listing, choosing, saving, deleting, choosing the one the meter
// uses).
class CallChargesPage : public QWidget {
    Q_OBJECT
public:
    static inline const QString NotFoundName = QStringLiteral("Active Rate File Not Found");

    CallChargesPage(const Services& services, QWidget* parent = nullptr);

    RateEditor* editor() const { return m_editor; }
    BillingEditor* billing() const { return m_billing; }
    bool RatesModified() const;
    void setRatesModified(bool modified);

    const QString& ShownRateName() const { return m_shownRateName; }
    const QString& ActiveRateName() const { return m_activeRateName; }
    void setActiveRateName(const QString& name);

    // Lists the rate files, loads the active one and shows it when it is listed.
    void showActiveRate();

    void RefreshRateNames();
    // fileName includes its extension; false (after telling the user) when
    // the file cannot be read.
    bool LoadRates(const QString& fileName);
    void RateNameSelectBoxChange(int index);
    // Both return false when nothing was written (failure or no name chosen).
    bool SaveButtonClick();
    bool SaveAsButtonClick();
    void DeleteButtonClick();
    void UseRateButtonClick();
    void HelpForRatesClick();

    // Asks about unsaved rates before the dialog closes; false keeps it open.
    bool saveChangesBeforeLeaving();
    // Ends an edit in progress, so its change counts before the dialog closes.
    void finishEditing();

signals:
    // Editing a value began (true) or ended: the dialog hides its OK and Cancel meanwhile.
    void editingShown(bool shown);

private:
    QString rateFileName(int index) const;
    int findRateName(const QString& name) const;
    void selectShownRate();
    void setShownRate(const QString& name, const QString& path);
    bool writeRates(const QString& path);
    void useIfActiveIsMissing();
    void showFileControls(bool shown);

    const Services& m_services;
    RateEditor* m_editor = nullptr;
    BillingEditor* m_billing = nullptr;
    QComboBox* m_selectBox = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_saveAsButton = nullptr;
    QPushButton* m_deleteButton = nullptr;
    QPushButton* m_useRateButton = nullptr;
    QWidget* m_fileControls = nullptr;
    QLabel* m_shownPanel = nullptr;
    QLabel* m_activePanel = nullptr;

    QString m_shownRateName = NotFoundName;
    // The file behind ShownRateName; empty while no file is shown.
    QString m_shownRatePath;
    QString m_activeRateName;
};
