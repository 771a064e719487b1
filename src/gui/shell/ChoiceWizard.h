#pragma once

#include <QDialog>
#include <QString>

#include <vector>

class QLabel;
class QPushButton;
class QRadioButton;
class QVBoxLayout;
class SettingsFile;
struct Services;

// A page of the first questions: a few choices, none taken at first; "Next >"
// (OKbutton) is enabled by taking one and writes its value under one key of
// "Default Setup Information". Closed (its close button, Escape) before a
// choice is taken, it ends the questions with nothing written (exec() gives
// Rejected); after, it keeps the choice as "Next >" does. A page after the
// first offers "< Back" (exec() gives Back), which writes nothing. The call
// charges page (TTariffForm) follows. "Help" opens its help topic.
class ChoiceWizard : public QDialog {
    Q_OBJECT
public:
    static constexpr int Back = 2;

    ChoiceWizard(const Services& services, const QString& key, int helpTopic, QWidget* parent = nullptr);

    void OKbuttonClick();
    void HelpButtonClick();

protected:
    static inline const QString NextCaption = QStringLiteral("&Next >");

    // Text lines and choices are added in the order they are shown; the
    // buttons come last, when the derived form calls finishLayout().
    QLabel* addText(const QString& text);
    QRadioButton* addChoice(const char* name, const QString& text, int value,
                            const QString& finishCaption = NextCaption);
    // One line under a choice on when to take it.
    QLabel* addNote(QRadioButton* choice, const QString& text, const char* name);
    // withBack: the page has a page before it.
    void finishLayout(bool withBack = false);

    // A form whose choice is not among its choices (a device typed in) says
    // here whether it has one, and stores it in storeChoice.
    void setChoiceTaken(bool taken);
    // Writes the choice taken; false when the file cannot be written.
    virtual bool storeChoice(const SettingsFile& file);

    // Closing by the title bar or Escape comes here too.
    void reject() override;

    QVBoxLayout* m_content;

private:
    struct Choice {
        QRadioButton* button;
        int value;
        QString finishCaption;
    };
    const Services& m_services;
    QString m_key;
    int m_helpTopic;
    std::vector<Choice> m_choices;
    QPushButton* OKbutton;
};
