// What any Qt program pays on this system for what the meter does while it
// times a call, with none of the meter's own work: bench/meter_cpu.sh runs it
// beside the program (FLOOR=1) to tell the program's cost from the floor.
//   dialtally_bench_clock_floor timers   the meter's three timers (45, 150 and 250 ms), doing nothing
//   dialtally_bench_clock_floor square   the same, and a 36 px square repainted at every 45 ms tick
//   dialtally_bench_clock_floor idle     the 250 ms timer alone, repainting the square (the status's dots)
#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {
class Square : public QWidget {
public:
    using QWidget::QWidget;
    int shade = 0;

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(0, shade, shade)); }
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode != QLatin1String("timers") && mode != QLatin1String("square") && mode != QLatin1String("idle")) {
        std::fputs("usage: dialtally_bench_clock_floor timers|square|idle\n", stderr);
        return 2;
    }
    QWidget window;
    window.setWindowTitle(QStringLiteral("Clock floor"));
    window.resize(300, 200);
    auto* square = new Square(&window);
    square->setGeometry(10, 10, 36, 36);
    square->setAttribute(Qt::WA_OpaquePaintEvent);
    window.show();

    const auto turn = [square] {
        square->shade = (square->shade + 12) % 256;
        square->repaint();
    };
    QTimer frame, tick, poll;
    if (mode == QLatin1String("square"))
        QObject::connect(&frame, &QTimer::timeout, square, turn);
    if (mode == QLatin1String("idle")) {
        QObject::connect(&poll, &QTimer::timeout, square, turn);
    } else {
        frame.start(45);
        tick.start(150);
    }
    poll.start(250);
    return app.exec();
}
