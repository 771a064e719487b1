#include "cli/Command.h"

#include "core/settings/OwnFiles.h"
#include "core/settings/ProgramFiles.h"
#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsKeys.h"
#include "core/storage/RegularFile.h"
#include "core/viewer/CallCells.h"

#include <QFileDevice>
#include <QRegularExpression>

#include <algorithm>

#include <sys/stat.h>

namespace {

const QCommandLineOption& jsonOption() {
    static const QCommandLineOption option(QStringLiteral("json"));
    return option;
}
const QCommandLineOption& csvOption() {
    static const QCommandLineOption option(QStringLiteral("csv"));
    return option;
}
const QCommandLineOption& fromOption() {
    static const QCommandLineOption option(QStringLiteral("from"), QString(), QStringLiteral("date"));
    return option;
}
const QCommandLineOption& toOption() {
    static const QCommandLineOption option(QStringLiteral("to"), QString(), QStringLiteral("date"));
    return option;
}
QCommandLineOption outputOption(bool standardByDefault) {
    QCommandLineOption option(QStringLiteral("output"), QString(), QStringLiteral("file"));
    if (standardByDefault)
        option.setDefaultValue(QStringLiteral("-"));
    return option;
}

// YYYY-MM-DD and nothing else: no trailing text, no other separators, no
// missing zeros, and a day the calendar has.
std::optional<QDate> dateOf(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^([0-9]{4})-([0-9]{2})-([0-9]{2})$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    return date.isValid() ? std::optional(date) : std::nullopt;
}

// The open file behind an output, when it is one (not a test's buffer).
int descriptorOf(const QIODevice& out) {
    const auto* file = qobject_cast<const QFileDevice*>(&out);
    return file ? file->handle() : -1;
}

} // namespace

const QCommandLineOption& Command::dirOption() {
    static const QCommandLineOption option(QStringLiteral("dir"), QString(), QStringLiteral("path"));
    return option;
}

const QCommandLineOption& Command::helpOption() {
    static const QCommandLineOption option(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    return option;
}

QString Command::sharedUsage() {
    return QStringLiteral(
        "All take --dir PATH for the data directory, --help, and the toolkit's own options\n"
        "(-platform, -style, ...) as the window does. An --output that is one of the\n"
        "program's own files is refused.\n");
}

QStringList Command::withoutToolkitOptions(const QStringList& arguments) {
    // Each with its value in the next argument.
    static const QStringList withValue = {
        QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
        QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
        QStringLiteral("qwindowtitle"),    QStringLiteral("session"),
        QStringLiteral("display"),         QStringLiteral("geometry"),
        QStringLiteral("title"),           QStringLiteral("icon"),
        QStringLiteral("style"),           QStringLiteral("stylesheet")};
    static const QStringList alone = {QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                      QStringLiteral("testability")};
    static const QStringList withEquals = {QStringLiteral("style="), QStringLiteral("stylesheet="),
                                           QStringLiteral("qmljsdebugger=")};
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        // As the toolkit reads them: one dash or two.
        const QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
        if (i == 0 || !argument.startsWith(QLatin1Char('-'))) {
            kept << argument;
        } else if (withValue.contains(name)) {
            ++i;
        } else if (!alone.contains(name) &&
                   std::none_of(withEquals.begin(), withEquals.end(),
                                [&name](const QString& prefix) { return name.startsWith(prefix); })) {
            kept << argument;
        }
    }
    return kept;
}

Command::Command(QStringList words, QString name, QString usage, int takes, QList<QCommandLineOption> options,
                 int wordsAfter)
    : m_words(std::move(words)), m_name(std::move(name)), m_usage(std::move(usage)), m_takes(takes),
      m_options(std::move(options)), m_wordsAfter(wordsAfter) {
    if (m_takes & Json)
        m_options << jsonOption();
    if (m_takes & Csv)
        m_options << csvOption();
    if (m_takes & Dates)
        m_options << fromOption() << toOption();
    if (m_takes & (OutputOrStandard | OutputFile))
        m_options << outputOption(m_takes & OutputOrStandard);
}

bool Command::claims(const QCommandLineParser& parser) const {
    return parser.positionalArguments().mid(0, m_words.size()) == m_words;
}

int Command::run(const QStringList& arguments, const Call& call) const {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({dirOption(), helpOption()});
    parser.addOptions(m_options);
    Run run{*this, parser, call};
    if (!parser.parse(arguments))
        return run.wrong(parser.errorText());
    if (parser.isSet(helpOption()))
        return call.context.print(m_usage + sharedUsage());
    run.words = parser.positionalArguments().mid(m_words.size());
    const LogCommands::Environment& environment = call.environment;
    run.directory = ProgramFiles::dataDirectory(parser.value(dirOption()), environment.dialtallyDir,
                                                environment.xdgDataHome, environment.home);
    if (const int status = check(run))
        return status;
    return execute(run);
}

int Command::check(Run& run) const {
    const QCommandLineParser& parser = run.parser;
    if (run.words.size() > m_wordsAfter)
        return run.wrong(
            QStringLiteral("%1 takes %2 after it")
                .arg(m_name, m_wordsAfter == 0 ? QStringLiteral("no word") : QStringLiteral("one word")));
    if (m_takes & Dates) {
        for (auto [option, date] : {std::pair{&fromOption(), &run.from}, std::pair{&toOption(), &run.to}}) {
            if (!parser.isSet(*option))
                continue;
            *date = dateOf(parser.value(*option));
            if (!*date)
                return run.wrong(
                    QStringLiteral("\"%1\" is not a date (YYYY-MM-DD)").arg(parser.value(*option)));
        }
        if (run.from && run.to && *run.from > *run.to)
            return run.wrong(QStringLiteral("--from is after --to"));
    }
    run.json = (m_takes & Json) && parser.isSet(jsonOption());
    run.csv = (m_takes & Csv) && parser.isSet(csvOption());
    if (run.json && run.csv)
        return run.wrong(QStringLiteral("%1 takes --json or --csv, not both").arg(m_name));
    const LogCommands::Environment& environment = run.call.environment;
    const QString state = ProgramFiles::stateDirectory(environment.xdgStateHome, environment.home);
    const auto refuse = [&run](const QString& output, const OwnFiles::Found& own) {
        return run.context().fail(
            CommandContext::WrongCommand,
            QStringLiteral("%1 is %2 %3: a command never writes over the program's own files")
                .arg(output, own.what, own.path));
    };
    if (m_takes & (OutputOrStandard | OutputFile)) {
        run.output = parser.value(QStringLiteral("output"));
        if (run.output != QLatin1String("-") && !run.output.isEmpty()) {
            if (const auto own = OwnFiles::at(run.output, run.directory, state))
                return refuse(QStringLiteral("--output ") + run.output, *own);
        }
    }
    // The shell opened it (dialtally report >> Calls.log): the command can
    // still keep its bytes out of the file.
    const bool toStandardOutput =
        (m_takes & (OutputOrStandard | OutputFile)) == 0 || run.output == QLatin1String("-");
    const int out = toStandardOutput ? descriptorOf(run.context().out) : -1;
    struct stat status {};
    const bool opened = out >= 0 && ::fstat(out, &status) == 0;
    if (opened) {
        if (const auto own = OwnFiles::ofDescriptor(out, run.directory, state))
            return refuse(QStringLiteral("standard output"), *own);
    }
    run.standardStream = toStandardOutput && (run.call.outIsTerminal || (opened && !S_ISREG(status.st_mode)));
    for (const QString& file : inputs(run.directory)) {
        if (const QString notAFile = RegularFile::notRegular(file); !notAFile.isEmpty())
            return run.failed(notAFile);
    }
    return CommandContext::Done;
}

QStringList Command::inputs(const QString& directory) const {
    return {ProgramFiles::settingsPath(directory), ProgramFiles::callLogPath(directory),
            ProgramFiles::rateNameStorePath(directory)};
}

int Command::Run::wrong(const QString& text) const {
    return context().fail(CommandContext::WrongCommand,
                          text + QLatin1Char('\n') + command.usage() + Command::sharedUsage());
}

int Command::Run::failed(const QString& text) const {
    return context().fail(CommandContext::FileFailed, text);
}

QString Command::Run::symbol() const {
    return viewerSymbol(SettingsFile(ProgramFiles::settingsPath(directory))
                            .ReadSettingString(SettingsKeys::DefaultsSection, SettingsKeys::MainSymbol,
                                               SettingsKeys::DefaultMainSymbol));
}
