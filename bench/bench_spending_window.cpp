// Times the opening of the Spending window on a log of 1,000,000 calls over
// three years, from nothing to the first picture of its chart.
#include "BenchLog.h"
#include "SilentPrompter.h"
#include "core/calllog/CallLog.h"
#include "core/seams/Clock.h"
#include "core/settings/BudgetSettings.h"
#include "core/settings/ProgramFiles.h"
#include "gui/spending/TSpendingForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    SystemClock clock;
    const int count = 1'000'000;
    BudgetSettings budget;
    budget.on = true;
    budget.amount = 30;
    const CallLog log(ProgramFiles::callLogPath(dir.path()));
    if (!dir.isValid() || !budget.write(SettingsFile(ProgramFiles::settingsPath(dir.path()))) ||
        !BenchLog::write(dir.path(), count, clock.now())) {
        std::fprintf(stderr, "cannot write a log of %d calls\n", count);
        return 1;
    }
    log.file().readAll(); // from the page cache, as when the log was read a moment ago

    SilentPrompter prompter;
    Services services;
    services.programDirectory = dir.path();
    services.clock = &clock;
    services.prompter = &prompter;
    QElapsedTimer timer;
    timer.start();
    TSpendingForm form(services);
    form.show();
    form.grab(); // the first picture, chart and all
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    std::printf("%d calls\n  %-34s %9.1f ms\n", count, "open the Spending window", ms);
    return 0;
}
