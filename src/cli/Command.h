#pragma once

#include "cli/CommandContext.h"
#include "cli/LogCommands.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One command of the command line: its words ("report", "report budget"), its
// usage and its own options. What every command shares is here: --dir and
// --help, the toolkit's own options taken out as the window's toolkit takes
// them, dates as YYYY-MM-DD with --from not after --to, --json or --csv not
// both, an --output that is never one of the program's own files nor a
// standard output redirected onto one, and every file the command reads
// refused unless it is a regular file. Anything the
// command does not know is a wrong command line (status 2).
class Command {
public:
    // What a run is given besides its arguments.
    struct Call {
        const CommandContext& context;
        const LogCommands::Environment& environment;
        double now = 0;
        bool outIsTerminal = false;
        const LogCommands::ChartMaker& chart;
    };

    virtual ~Command() = default;

    // "report --by": for messages.
    const QString& name() const { return m_name; }
    // Its lines of the usage.
    const QString& usage() const { return m_usage; }
    const QList<QCommandLineOption>& options() const { return m_options; }
    // Whether the command line (the toolkit's options taken out, read
    // leniently with every command's options) is this command's.
    virtual bool claims(const QCommandLineParser& parser) const;

    // Runs on the arguments (the program's name first, the toolkit's options
    // taken out); returns the exit status.
    int run(const QStringList& arguments, const Call& call) const;

    // What every command takes, and its line of the usage.
    static const QCommandLineOption& dirOption();
    static const QCommandLineOption& helpOption();
    static QString sharedUsage();
    // The arguments without the toolkit's own options (-platform offscreen,
    // -style=fusion, --reverse, ...), as QGuiApplication and QApplication take
    // them out of a window's command line.
    static QStringList withoutToolkitOptions(const QStringList& arguments);

protected:
    // The options of these a command takes: --json, --csv, --from and --to,
    // --output FILE|- (standard output by default) or --output FILE.
    enum Takes { Json = 1, Csv = 2, Dates = 4, OutputOrStandard = 8, OutputFile = 16 };
    // wordsAfter: how many words may follow the command's own.
    Command(QStringList words, QString name, QString usage, int takes, QList<QCommandLineOption> options = {},
            int wordsAfter = 0);

    // A parsed command line, checked for what every command shares.
    struct Run {
        const Command& command;
        const QCommandLineParser& parser;
        const Call& call;
        QString directory = {};
        QStringList words = {}; // after the command's own
        std::optional<QDate> from = {}, to = {};
        bool json = false, csv = false;
        QString output = {}; // "-" for standard output, empty for none
        // Standard output is a terminal or a pipe, not a file: text for a person or a program.
        bool standardStream = false;

        const CommandContext& context() const { return call.context; }
        // A wrong command line: the text and the command's usage, status 2.
        int wrong(const QString& text) const;
        // A file that cannot be read or written: the text, status 1.
        int failed(const QString& text) const;
        // The viewer's currency symbol from the settings.
        QString symbol() const;
    };
    virtual int execute(const Run& run) const = 0;
    // Options of the command's own, held by it as members.
    void addOptions(const QList<QCommandLineOption>& options) { m_options << options; }
    // The files the command reads: the settings, the call log and the
    // rate-name store unless it says otherwise.
    virtual QStringList inputs(const QString& directory) const;

private:
    int check(Run& run) const;

    QStringList m_words;
    QString m_name;
    QString m_usage;
    int m_takes;
    QList<QCommandLineOption> m_options;
    int m_wordsAfter;
};
