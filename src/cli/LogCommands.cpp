#include "cli/LogCommands.h"

#include "cli/BudgetCommand.h"
#include "cli/ChartCommand.h"
#include "cli/CommandContext.h"
#include "cli/CompareCommand.h"
#include "cli/ExportCommand.h"
#include "cli/PeriodReportCommand.h"
#include "cli/ReportByCommand.h"
#include "cli/ReportByNumberCommand.h"
#include "cli/TariffCommand.h"

#include <QCommandLineParser>
#include <QSet>

#include <algorithm>
#include <memory>
#include <vector>

namespace LogCommands {

namespace {

// In the order of the usage.
const std::vector<std::unique_ptr<Command>>& commands() {
    static const std::vector<std::unique_ptr<Command>> all = [] {
        std::vector<std::unique_ptr<Command>> list;
        list.push_back(std::make_unique<PeriodReportCommand>());
        list.push_back(std::make_unique<ExportCommand>());
        list.push_back(std::make_unique<ReportByNumberCommand>());
        list.push_back(std::make_unique<ReportByCommand>());
        list.push_back(std::make_unique<BudgetCommand>());
        list.push_back(std::make_unique<ChartCommand>());
        list.push_back(std::make_unique<CompareCommand>());
        list.push_back(std::make_unique<TariffCommand>());
        return list;
    }();
    return all;
}

// The arguments read with every command's options, to find the command:
// which words are values of options is the same for all of them. What is
// wrong with them is the command's to say.
void readLeniently(QCommandLineParser& parser, const QStringList& arguments) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({Command::dirOption(), Command::helpOption()});
    QSet<QString> known;
    for (const auto& command : commands()) {
        for (const QCommandLineOption& option : command->options()) {
            if (!known.contains(option.names().first())) {
                known.insert(option.names().first());
                parser.addOption(option);
            }
        }
    }
    parser.parse(arguments);
}

} // namespace

bool isCommand(const QStringList& arguments) {
    QCommandLineParser parser;
    readLeniently(parser, Command::withoutToolkitOptions(arguments));
    if (!parser.positionalArguments().isEmpty())
        return true;
    // An option only a command takes, without the command, is a wrong command line.
    const QStringList found = parser.optionNames();
    return std::any_of(found.begin(), found.end(), [](const QString& name) {
        return !Command::dirOption().names().contains(name) && !Command::helpOption().names().contains(name);
    });
}

bool drawsChart(const QStringList& arguments) {
    QCommandLineParser parser;
    readLeniently(parser, Command::withoutToolkitOptions(arguments));
    return parser.positionalArguments().value(0) == QLatin1String("chart");
}

QString usage() {
    QString text = QStringLiteral("Commands (they need no window and only read the data files):\n");
    for (const auto& command : commands())
        text += command->usage();
    return text + Command::sharedUsage();
}

int run(const QStringList& arguments, const Environment& environment, double now, QIODevice& out,
        QIODevice& err, bool outIsTerminal, const ChartMaker& chart) {
    const CommandContext context{out, err};
    const QStringList own = Command::withoutToolkitOptions(arguments);
    QCommandLineParser parser;
    readLeniently(parser, own);
    const QString word = parser.positionalArguments().value(0);
    if (word.isEmpty())
        return context.fail(CommandContext::WrongCommand, QStringLiteral("no command given\n") + usage());
    for (const auto& command : commands()) {
        if (command->claims(parser))
            return command->run(own, {context, environment, now, outIsTerminal, chart});
    }
    return context.fail(CommandContext::WrongCommand,
                        QStringLiteral("unknown command \"%1\"\n").arg(word) + usage());
}

} // namespace LogCommands
