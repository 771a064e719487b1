#include "core/calllog/RateNameStore.h"
#include "core/seams/Services.h"
#include "fakes/FakePrompter.h"
#include "gui/shell/TTariffForm.h"
#include "gui/widgets/NameLimit.h"
#include "gui/widgets/QtFileChooser.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// A rate name stops where the call log would cut it (30 bytes: 30 letters of
// Windows-1252, fewer of other alphabets), on the wizard's tariff page and in
// Save As; the box says so under it and to a screen reader.
class TestNameLimit : public QObject {
    Q_OBJECT

    // Puts text in as a keyboard does, one character at a time, whatever the alphabet.
    static void typeIn(QLineEdit* box, const QString& text) {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }

private slots:
    void aRateNameStopsWhereTheLogWouldCutIt_data() {
        QTest::addColumn<bool>("saveAs");
        QTest::addColumn<QString>("start"); // in the box before, the cursor after its ninth character
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<bool>("full");
        for (const bool saveAs : {false, true}) {
            const char* where = saveAs ? "Save As" : "wizard";
            QTest::addRow("%s, short", where) << saveAs << ""
                                              << "BT Evening"
                                              << ""
                                              << "BT Evening" << false;
            QTest::addRow("%s, ASCII", where) << saveAs << ""
                                              << "Kingston Communications Evening"
                                              << ""
                                              << "Kingston Communications Evenin" << true;
            QTest::addRow("%s, Western European", where) << saveAs << ""
                                                         << "Télécom Évening Économie Café Crème"
                                                         << ""
                                                         << "Télécom Évening Économie Café " << true;
            QTest::addRow("%s, Greek", where) << saveAs << ""
                                              << "Ελληνικό Τηλέφωνο"
                                              << ""
                                              << "Ελληνικό Τηλέφω" << true;
            QTest::addRow("%s, pasted inside", where) << saveAs << "Kingston Communications"
                                                      << ""
                                                      << "Telecom Ltd "
                                                      << "Kingston TelecomCommunications" << true;
        }
    }
    void aRateNameStopsWhereTheLogWouldCutIt() {
        QFETCH(bool, saveAs);
        QFETCH(QString, start);
        QFETCH(QString, typed);
        QFETCH(QString, pasted);
        QFETCH(QString, kept);
        QFETCH(bool, full);
        QString shown, said;
        bool noteShown = false;
        const auto work = [&](QWidget& window, const char* boxName, const char* noteName) {
            auto* box = window.findChild<QLineEdit*>(boxName);
            QVERIFY(box);
            box->setText(start);
            box->setCursorPosition(qMin(9, int(start.size())));
            typeIn(box, typed);
            box->insert(pasted); // as a paste does
            shown = box->text();
            said = box->accessibleDescription();
            noteShown = window.findChild<QLabel*>(noteName)->isVisibleTo(&window);
        };
        FakePrompter prompter;
        Services services;
        services.prompter = &prompter;
        if (saveAs) {
            const QTemporaryDir dir;
            QtFileChooser chooser;
            QTimer::singleShot(0, [&] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                work(*dialog, "fileNameEdit", "NameLimitNote");
                dialog->reject();
            });
            chooser.saveFileNameKeptWhole("Save Rates File As...", dir.path(), "Dialtally Rate File (*.dtr)",
                                          "dtr", &RateNameStore::keepsWhole, NameLimit::RateNameNote);
        } else {
            TTariffForm form(services);
            form.show();
            work(form, "TariffNameEdit", "TariffNameNote");
        }
        QCOMPARE(shown, kept);
        QCOMPARE(noteShown, full);
        QCOMPARE(said, full ? NameLimit::RateNameNote : QString());
    }
};

QTEST_MAIN(TestNameLimit)
#include "test_namelimit.moc"
