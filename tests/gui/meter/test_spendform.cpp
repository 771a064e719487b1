#include "gui/meter/TSpendForm.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>

class TestSpendForm : public QObject {
    Q_OBJECT

private slots:
    // At the program's own font the box has its standard size; a larger font
    // makes it grow until nothing in it is cut.
    void keepsItsSizeAndGrowsToFit_data() {
        QTest::addColumn<int>("points"); // 0: the program's font
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("grows");
        const QString largest = QStringLiteral("Spend Limit of \u00a399.99 has been reached.");
        QTest::newRow("program's font") << 0 << "Spend Limit of \u00a31.50 has been reached." << false;
        QTest::newRow("largest limit") << 0 << largest << false;
        QTest::newRow("11 pt") << 11 << largest << false;
        QTest::newRow("large font") << 20 << largest << true;
    }
    void keepsItsSizeAndGrowsToFit() {
        QFETCH(int, points);
        QFETCH(QString, message);
        QFETCH(bool, grows);
        const QFont programFont = QApplication::font();
        const auto restore = qScopeGuard([&] { QApplication::setFont(programFont); });
        if (points) {
            QFont font = programFont;
            font.setPointSize(points);
            QApplication::setFont(font);
        }
        TSpendForm form;
        form.setMessage(message);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QSize standard(TSpendForm::StandardWidth, TSpendForm::StandardHeight);
        if (grows)
            QVERIFY(form.width() >= standard.width() && form.height() > standard.height());
        else
            QCOMPARE(form.size(), standard);
        for (const QWidget* child : form.findChildren<QWidget*>()) {
            QVERIFY2(child->width() >= child->minimumSizeHint().width() &&
                         child->height() >= child->minimumSizeHint().height(),
                     qPrintable(child->objectName()));
            QVERIFY(form.rect().contains(QRect(child->mapTo(&form, QPoint()), child->size())));
        }
        const auto* label = form.findChild<QLabel*>(QStringLiteral("MessageLabel"));
        QCOMPARE(label->text(), message);
        QVERIFY(label->height() >= label->heightForWidth(label->width()));
    }
};

QTEST_MAIN(TestSpendForm)
#include "test_spendform.moc"
