#include "cli/commandline.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

struct OptionEntry
{
    const char *name;
    const char *shortName;   // "" for none
    const char *valueName;   // "" for a switch
    const char *description;
};

const OptionEntry CommonOptions[] = {
    {"device", "", "PATH", "Open the device at this hidapi path (see list) instead of the first one attached."},
    {"verbose", "", "", "Print the device log lines on standard error, and progress even on a pipe."},
    {"quiet", "q", "", "Print nothing but results and errors; no progress."},
    {"record", "", "FILE.csv", "Also append each job's row of the service history to this CSV file."},
    {"help", "h", "", "Show this help."},
    {"version", "", "", "Show the version."},
};

const OptionEntry CommandOptions[] = {
    {"json", "", "", "Print one JSON document instead of text (keys in README.md)."},
    {"csv", "", "", "Print comma-separated values instead of a table."},
    {"slot", "", "N", "The image slot, 1 to 10."},
    {"fit", "", "MODE",
     "How the picture meets the slot's size: stretch (the default, scaled like the editor's TRIM), "
     "contain (the whole picture, letterboxed in white, as the editor does) or cover (fills the slot, centre cropped)."},
    {"dither", "", "MODE",
     "For one-bit screens: none (the default, the screen's own threshold) or floyd-steinberg."},
    {"yes", "y", "", "Erase and write without asking."},
    {"dry-run", "", "", "Stop after the model check; nothing is erased."},
    {"resume", "", "",
     "Erase and write without the model check: for a device that an interrupted upgrade left in "
     "its bootloader, which answers no model query and holds part of an image. The model query is "
     "still sent: a device that answers it runs its application and is refused (use the full upgrade); "
     "a silent one is written only when the file's model header equals the name field last read from "
     "this device."},
    {"force", "", "",
     "Write values outside the ranges the device reports; with upgrade --resume, write although the device "
     "answers as running its application, or although the file's model cannot be matched with this device's."},
};

struct CommandEntry
{
    const char *name;
    const char *synopsis;   // after the program name
    const char *summary;    // one line for the command list
    const char *description;
    std::vector<const char *> options;
    int minArguments;
    int maxArguments;
};

const std::vector<CommandEntry> &commands()
{
    static const std::vector<CommandEntry> table = {
        {"list", "list [--json]", "every attached 0483:5750 device: path, serial, product string",
         "Lists every attached device with USB id 0483:5750: its hidapi path (for --device), serial number and "
         "product string. No device attached is no error: the list is empty.",
         {"json"}, 0, 0},
        {"info", "info [--json]", "name, firmware, screen, wattage range, temperature ranges, ID",
         "Asks the device for its name, firmware version, screen size, wattage range, temperature ranges and "
         "identification (items 0x04 to 0x07), as the window's DEVICE page does.",
         {"json"}, 0, 0},
        {"slots", "slots [--json]", "picture geometry and screen type of slots 1-10",
         "Runs the slot query for each image slot 1 to 10: the picture width and height the slot takes and "
         "whether its screen is colour or one-bit.",
         {"json"}, 0, 0},
        {"upload", "upload --slot N FILE [--fit stretch|contain|cover] [--dither none|floyd-steinberg]",
         "send a picture to an image slot",
         "Sends the picture in FILE to image slot N, fitted to the size the slot query reports, with exactly "
         "the reports the editor's UPLOAD sends. Slot 1 on a colour screen takes the boot animation made from "
         "the picture. Pictures larger than 8192 x 8192 are refused.",
         {"slot", "fit", "dither"}, 1, 1},
        {"upgrade", "upgrade FILE [--yes] [--dry-run] [--resume [--force]]", "write a firmware file through the bootloader",
         "Upgrades the firmware: prints the file's name, size, chunk count and SHA-256, checks its 48-byte "
         "model header against the device's name field, and only then erases the device and writes the file "
         "in 48-byte chunks. A model mismatch refuses with nothing erased. Without --yes it asks on the "
         "terminal, and refuses when standard input is no terminal. Ctrl+C during the write stage takes "
         "effect after the chunk in flight; the device then waits in its bootloader for --resume. A file that "
         "is plainly no firmware (a picture, an archive, a document, a program, or a model header with no "
         "data) is refused before anything is sent. After the jump the tool waits up to 15 s for the device "
         "to come back, prints the version it runs, and exits 3 when it does not come back.",
         {"yes", "dry-run", "resume", "force"}, 1, 1},
        {"curve read", "curve read [M1..M5|all] [--json]", "the points of one or all power curves",
         "Reads power curve M1 to M5, or all five: ten watts each, for the seconds 0 to 9.", {"json"}, 0, 1},
        {"curve write", "curve write M1..M5 P0,P1,...,P9 [--force]", "write the ten points of a power curve",
         "Writes ten whole watts (0-65535, for the seconds 0 to 9) to power curve M1 to M5. In place of the "
         "points a file name ending in .csv reads them from a curve CSV file (ten lines second,watts). Points "
         "above the top wattage the device reports are refused unless --force.",
         {"force"}, 2, 2},
        {"settings write", "settings write PROFILE [--force]", "the working-mode table from a profile file",
         "Writes the working-mode table of a profile file (settings blocks 0x08 and 0x09). The file must hold "
         "every cell. Wattages and temperatures outside the ranges the device reports are refused unless "
         "--force.",
         {"force"}, 1, 1},
        {"profile apply", "profile apply PROFILE [--force]", "settings table and any curves the profile holds",
         "Writes what a profile file holds: the working-mode table (when it has one, it must be whole) and "
         "each power curve it holds. Values outside the device's ranges, and curve points above its top "
         "wattage, are refused unless --force.",
         {"force"}, 1, 1},
        {"history", "history [SERIAL] [--json|--csv]", "the service history: every job on every unit",
         "Prints the service history, oldest first: every job run on every unit by the window and by this "
         "tool, with its time (UTC), serial number, path, model, firmware before and after, result and "
         "seconds; of one unit when SERIAL is given. A job still marked \"started\" never ended (the program "
         "was ended during it).",
         {"json", "csv"}, 0, 1},
        {"print-udev-rule", "print-udev-rule", "the udev rule that gives the logged-in user the device",
         "Prints the udev rule that lets the user logged in at the seat open the device without root. Save it "
         "as /etc/udev/rules.d/70-tessel-control.rules, run 'udevadm control --reload-rules && udevadm "
         "trigger' and plug the device in again.",
         {}, 0, 0},
    };
    return table;
}

const char *const CommandGroups[] = {"curve", "settings", "profile"};

const CommandEntry *findCommand(const QString &name)
{
    for (const CommandEntry &entry : commands()) {
        if (name == QLatin1String(entry.name))
            return &entry;
    }
    return nullptr;
}

bool isGroup(const QString &word)
{
    for (const char *group : CommandGroups) {
        if (word == QLatin1String(group))
            return true;
    }
    return false;
}

QCommandLineOption makeOption(const OptionEntry &entry)
{
    QStringList names;
    if (*entry.shortName)
        names << QLatin1String(entry.shortName);
    names << QLatin1String(entry.name);
    return QCommandLineOption(names, QLatin1String(entry.description), QLatin1String(entry.valueName));
}

const OptionEntry &commandOption(const char *name)
{
    for (const OptionEntry &entry : CommandOptions) {
        if (qstrcmp(entry.name, name) == 0)
            return entry;
    }
    Q_UNREACHABLE();
}

void addOptions(QCommandLineParser &parser, const std::vector<const char *> &names)
{
    for (const OptionEntry &entry : CommonOptions)
        parser.addOption(makeOption(entry));
    for (const char *name : names)
        parser.addOption(makeOption(commandOption(name)));
}

// Words filled into lines of at most width characters; lines after the
// first start with indent spaces.
QString wrapped(const QString &text, int width, int indent)
{
    QString result;
    int column = indent;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (column > indent && column + 1 + word.size() > width) {
            result += QLatin1Char('\n') + QString(indent, QLatin1Char(' '));
            column = indent;
        } else if (column > indent) {
            result += QLatin1Char(' ');
            ++column;
        }
        result += word;
        column += word.size();
    }
    return result;
}

constexpr int HelpWidth = 79;
constexpr int OptionColumn = 21;

const OptionEntry BenchOptions[] = {
    {"all", "", "", "Run the command on every attached device at once (see 'watch --help')."},
    {"count", "", "K", "watch: stop once K devices were served."},
    {"timeout", "", "S", "watch: stop looking for devices after S seconds; the devices at work finish."},
    {"json", "", "", "With --all or watch: one JSON document with an entry per device."},
};

QString optionLines(const std::vector<const OptionEntry *> &options)
{
    QString text;
    for (const OptionEntry *entry : options) {
        QString names = QStringLiteral("--") + QLatin1String(entry->name);
        if (*entry->shortName)
            names = QStringLiteral("-") + QLatin1String(entry->shortName) + QStringLiteral(", ") + names;
        if (*entry->valueName)
            names += QLatin1Char(' ') + QLatin1String(entry->valueName);
        text += QStringLiteral("  ") + names.leftJustified(OptionColumn - 3) + QLatin1Char(' ')
                + wrapped(QLatin1String(entry->description), HelpWidth, OptionColumn) + QLatin1Char('\n');
    }
    return text;
}

QString benchOptionLines()
{
    std::vector<const OptionEntry *> options;
    for (const OptionEntry &entry : BenchOptions)
        options.push_back(&entry);
    return optionLines(options);
}

QString commonOptionLines()
{
    std::vector<const OptionEntry *> options;
    for (const OptionEntry &entry : CommonOptions)
        options.push_back(&entry);
    return optionLines(options);
}

QString commandHelp(const QString &program, const CommandEntry &entry)
{
    QString text = QStringLiteral("Usage: %1 %2\n\n%3\n").arg(program, QLatin1String(entry.synopsis),
                                                              wrapped(QLatin1String(entry.description), HelpWidth, 0));
    if (!entry.options.empty()) {
        std::vector<const OptionEntry *> options;
        for (const char *name : entry.options)
            options.push_back(&commandOption(name));
        text += QStringLiteral("\nOptions:\n") + optionLines(options);
    }
    text += QStringLiteral("\nCommon options:\n") + commonOptionLines();
    text += QStringLiteral("\nExit codes are listed by '%1 --help'.\n").arg(program);
    return text;
}

QString commandList(const QString &prefix)
{
    QString text;
    for (const CommandEntry &entry : commands()) {
        if (!QLatin1String(entry.name).startsWith(prefix))
            continue;
        text += QStringLiteral("  ") + QString::fromLatin1(entry.name).leftJustified(16) + QLatin1Char(' ')
                + QLatin1String(entry.summary) + QLatin1Char('\n');
    }
    return text;
}

ParsedCommandLine usageError(const QString &program, const QString &complaint, const QString &helpCommand = {})
{
    ParsedCommandLine parsed;
    parsed.outcome = ParseOutcome::UsageError;
    parsed.text = QStringLiteral("%1: %2 (see '%1 %3--help')")
                      .arg(program, complaint, helpCommand.isEmpty() ? QString() : helpCommand + QLatin1Char(' '));
    return parsed;
}

ParsedCommandLine answer(ParseOutcome outcome, const QString &text)
{
    ParsedCommandLine parsed;
    parsed.outcome = outcome;
    parsed.text = text;
    return parsed;
}

QString versionLine(const QString &program)
{
    return QStringLiteral("%1 %2\n").arg(program, QLatin1String(TESSEL_VERSION));
}

} // namespace

QString toolHelp(const QString &program)
{
    return QStringLiteral(
               "Usage: %1 [--device PATH] [--record FILE.csv] [--verbose | --quiet] COMMAND [ARGUMENTS]\n"
               "       %1 --all COMMAND [ARGUMENTS]    (every attached device at once)\n"
               "       %1 watch COMMAND [ARGUMENTS]    (each device as it arrives)\n\n"
               "The command-line companion of Tessel Control. It serves the vaping device with USB id\n"
               "0483:5750 through the same device jobs as the window, so it sends the same bytes.\n\n"
               "Commands:\n%2\n"
               "Common options:\n%3\n"
               "Exit codes:\n"
               "  0    success\n"
               "  1    usage error: unknown command or option, missing or bad argument, upgrade not confirmed\n"
               "  2    no device attached, or attached but not accessible (see print-udev-rule)\n"
               "  3    device error: time-out, write failure, model mismatch, device gone during the job\n"
               "  4    bad input: file missing, unreadable or invalid; curve values not ten whole watts\n"
               "  130  interrupted by Ctrl+C: an upgrade's write stage (the device waits in its bootloader),\n"
               "       or a reading command or upload (stopped after the report in flight)\n\n"
               "Results go to standard output, messages and progress to standard error.\n"
               "'%1 COMMAND --help' shows a command's options; '%1 watch --help' the runs over many devices.\n")
        .arg(program, commandList(QString()),
             commonOptionLines() + QStringLiteral("\nMany devices at once:\n") + benchOptionLines());
}

QString benchHelp(const QString &program)
{
    return QStringLiteral(
               "Usage: %1 --all COMMAND [ARGUMENTS] [--json]\n"
               "       %1 watch COMMAND [ARGUMENTS] [--count K] [--timeout S] [--json]\n\n"
               "%2\n\n"
               "Options:\n%3\n"
               "Exit codes are listed by '%1 --help'.\n")
        .arg(program,
             wrapped(QStringLiteral(
                         "Runs one command on many devices at once, each on a thread of its own: %1. --all runs "
                         "it on every device attached now; watch lists the devices every second and runs it on "
                         "each one that arrives, until Ctrl+C. A device that was served (by its path and serial "
                         "number) is not served again until it has left and come back. upgrade needs --yes (or "
                         "--dry-run): nobody is asked. Each device gets one line as it is done: serial number, "
                         "path, ok or the reason it failed, seconds; info and slots print their result under "
                         "it, --verbose every device's output and log; a summary line ends the run. A device "
                         "of another model than the firmware's fails alone, as does one that goes away or does "
                         "not answer. The exit code is 0 when every device succeeded, otherwise the highest code "
                         "of the failures; Ctrl+C stops every device's job as it would stop a single one's (130 "
                         "for the devices it cut short), and ends watch.")
                         .arg(benchCommandNames().join(QStringLiteral(", "))),
                     HelpWidth, 0),
             benchOptionLines());
}

// A word such as "-1,2,3" is a value (curve points), not a row of short
// options: it is kept away from the option parser as a stand-in and put back
// where it stood, among the arguments or as an option's value.
class NumberWords
{
public:
    explicit NumberWords(const QStringList &arguments)
    {
        for (const QString &word : arguments) {
            const bool number = word.size() > 1 && word.at(0) == QLatin1Char('-') && word.at(1).isDigit();
            if (number) {
                shielded << QStringLiteral("\x01%1").arg(words.size());
                words << word;
            } else {
                shielded << word;
            }
        }
    }
    QStringList shielded;
    QString restored(const QString &word) const
    {
        if (!word.startsWith(QLatin1Char('\x01')))
            return word;
        return words.value(word.mid(1).toInt(), word);
    }
    QStringList restored(const QStringList &list) const
    {
        QStringList back;
        for (const QString &word : list)
            back << restored(word);
        return back;
    }

private:
    QStringList words;
};

QStringList benchCommandNames()
{
    return {QStringLiteral("info"),        QStringLiteral("slots"),          QStringLiteral("upload"),
            QStringLiteral("upgrade"),     QStringLiteral("curve write"),    QStringLiteral("settings write"),
            QStringLiteral("profile apply")};
}

namespace {

// What --all and watch add to a command line, taken off it before the
// command's own parse.
struct BenchWords
{
    bool all = false;
    bool watch = false;
    bool json = false;
    QString count;     // as typed; empty when not given
    QString timeout;
    QString problem;   // a usage complaint
};

// Takes "--NAME VALUE" or "--NAME=VALUE" off words; false when the value is missing.
bool takeValue(QStringList &words, const QString &name, QString &value)
{
    const QString option = QStringLiteral("--") + name;
    for (int i = 0; i < words.size(); ++i) {
        if (words.at(i) == option) {
            if (i + 1 >= words.size())
                return false;
            value = words.at(i + 1);
            words.erase(words.begin() + i, words.begin() + i + 2);
            return true;
        }
        if (words.at(i).startsWith(option + QLatin1Char('='))) {
            value = words.at(i).mid(option.size() + 1);
            words.removeAt(i);
            return true;
        }
    }
    return true;
}

BenchWords takeBenchWords(QStringList &words)
{
    BenchWords bench;
    bench.all = words.removeAll(QStringLiteral("--all")) > 0;
    // The first word that is neither an option nor an option's value.
    static const QStringList valued = {QStringLiteral("--device"), QStringLiteral("--slot"), QStringLiteral("--fit"),
                                       QStringLiteral("--dither"), QStringLiteral("--count"),
                                       QStringLiteral("--timeout")};
    for (int i = 0; i < words.size(); ++i) {
        const QString &word = words.at(i);
        if (word == QLatin1String("--"))
            break;
        if (valued.contains(word)) {
            ++i;
            continue;
        }
        if (word.startsWith(QLatin1Char('-')))
            continue;
        if (word == QLatin1String("watch")) {
            bench.watch = true;
            words.removeAt(i);
        }
        break;
    }
    if (!bench.all && !bench.watch)
        return bench;
    if (bench.all && bench.watch)
        bench.problem = QStringLiteral("--all and watch exclude each other");
    bench.json = words.removeAll(QStringLiteral("--json")) > 0;
    if (!takeValue(words, QStringLiteral("count"), bench.count) || !takeValue(words, QStringLiteral("timeout"), bench.timeout))
        bench.problem = QStringLiteral("--count and --timeout need a value");
    else if (bench.all && (!bench.count.isEmpty() || !bench.timeout.isEmpty()))
        bench.problem = QStringLiteral("--count and --timeout go with watch, not --all");
    return bench;
}

// The options of a run over many devices, checked once the command is known.
bool applyBench(const BenchWords &bench, CliOptions &options, QString &problem)
{
    options.all = bench.all;
    options.watch = bench.watch;
    options.json = options.json || bench.json;
    const QString how = bench.all ? QStringLiteral("--all") : QStringLiteral("watch");
    if (!benchCommandNames().contains(options.command)) {
        problem = QStringLiteral("%1 runs %2; not %3").arg(how, benchCommandNames().join(QStringLiteral(", ")), options.command);
        return false;
    }
    if (!options.devicePath.isEmpty()) {
        problem = QStringLiteral("--device and %1 exclude each other").arg(how);
        return false;
    }
    if (options.command == QLatin1String("upgrade") && !options.yes && !options.dryRun) {
        problem = QStringLiteral("upgrade with %1 needs --yes: nobody is asked before each device is erased; "
                                 "nothing was sent").arg(how);
        return false;
    }
    bool number = true;
    if (!bench.count.isEmpty())
        options.watchCount = bench.count.toInt(&number);
    if (!number || options.watchCount < 0) {
        problem = QStringLiteral("--count needs a whole number of devices");
        return false;
    }
    if (!bench.timeout.isEmpty())
        options.watchTimeout = bench.timeout.toDouble(&number);
    if (!number || options.watchTimeout < 0) {
        problem = QStringLiteral("--timeout needs a number of seconds");
        return false;
    }
    return true;
}

ParsedCommandLine parseOne(const QString &program, const QStringList &rawArguments);

} // namespace

ParsedCommandLine parseCommandLine(const QString &program, const QStringList &rawArguments)
{
    QStringList words = rawArguments;
    const BenchWords bench = takeBenchWords(words);
    if (!bench.problem.isEmpty())
        return usageError(program, bench.problem, QStringLiteral("watch"));
    if (bench.watch && (words.contains(QStringLiteral("--help")) || words.contains(QStringLiteral("-h")))
        && !std::any_of(words.cbegin(), words.cend(), [](const QString &w) { return !w.startsWith(QLatin1Char('-')); }))
        return answer(ParseOutcome::Help, benchHelp(program));
    ParsedCommandLine parsed = parseOne(program, words);
    if (parsed.outcome != ParseOutcome::Run || (!bench.all && !bench.watch))
        return parsed;
    QString problem;
    if (!applyBench(bench, parsed.options, problem))
        return usageError(program, problem, QStringLiteral("watch"));
    return parsed;
}

namespace {

ParsedCommandLine parseOne(const QString &program, const QStringList &rawArguments)
{
    const NumberWords numbers(rawArguments);
    const QStringList &arguments = numbers.shielded;
    // First with every option known, to find the command words wherever the
    // options stand; then with the command's own options, to refuse the others.
    std::vector<const char *> every;
    for (const OptionEntry &entry : CommandOptions)
        every.push_back(entry.name);
    QCommandLineParser all;
    addOptions(all, every);
    if (!all.parse(QStringList{program} + arguments))
        return usageError(program, all.errorText());

    const QStringList words = numbers.restored(all.positionalArguments());
    if (words.isEmpty()) {
        if (all.isSet(QStringLiteral("help")))
            return answer(ParseOutcome::Help, toolHelp(program));
        if (all.isSet(QStringLiteral("version")))
            return answer(ParseOutcome::Version, versionLine(program));
        return usageError(program, QStringLiteral("no command given"));
    }
    QString name = words.first();
    int commandWords = 1;
    if (isGroup(name)) {
        if (words.size() < 2 || !findCommand(name + QLatin1Char(' ') + words.at(1))) {
            if (all.isSet(QStringLiteral("help")))
                return answer(ParseOutcome::Help, QStringLiteral("Commands of %1 %2:\n%3")
                                                      .arg(program, name, commandList(name + QLatin1Char(' '))));
            return usageError(program,
                              words.size() < 2 ? QStringLiteral("'%1' needs a command after it").arg(name)
                                               : QStringLiteral("unknown command '%1 %2'").arg(name, words.at(1)),
                              name);
        }
        name += QLatin1Char(' ') + words.at(1);
        commandWords = 2;
    }
    const CommandEntry *entry = findCommand(name);
    if (!entry)
        return usageError(program, QStringLiteral("unknown command '%1'").arg(name));

    QCommandLineParser parser;
    addOptions(parser, entry->options);
    if (!parser.parse(QStringList{program} + arguments))
        return usageError(program, QStringLiteral("%1: %2").arg(name, parser.errorText()), name);
    if (parser.isSet(QStringLiteral("help")))
        return answer(ParseOutcome::Help, commandHelp(program, *entry));
    if (parser.isSet(QStringLiteral("version")))
        return answer(ParseOutcome::Version, versionLine(program));

    const QStringList rest = numbers.restored(parser.positionalArguments()).mid(commandWords);
    if (rest.size() < entry->minArguments || rest.size() > entry->maxArguments) {
        const QString problem = rest.size() < entry->minArguments ? QStringLiteral("missing argument")
                                                                 : QStringLiteral("too many arguments");
        return usageError(program, QStringLiteral("%1: %2; usage: %3 %4").arg(name, problem, program,
                                                                              QLatin1String(entry->synopsis)),
                          name);
    }

    ParsedCommandLine parsed;
    parsed.outcome = ParseOutcome::Run;
    CliOptions &options = parsed.options;
    options.program = program;
    options.command = name;
    options.arguments = rest;
    // Asked only of the options this command's parser knows.
    const auto set = [&](const char *option) {
        const bool known = std::any_of(std::begin(CommonOptions), std::end(CommonOptions),
                                       [&](const OptionEntry &common) { return qstrcmp(common.name, option) == 0; })
                           || std::any_of(entry->options.begin(), entry->options.end(),
                                          [&](const char *own) { return qstrcmp(own, option) == 0; });
        return known && parser.isSet(QLatin1String(option));
    };
    options.devicePath = numbers.restored(parser.value(QStringLiteral("device"))).toLocal8Bit();
    if (parser.isSet(QStringLiteral("device")) && options.devicePath.isEmpty())
        return usageError(program, QStringLiteral("--device needs a path"), name);
    options.verbose = set("verbose");
    options.quiet = set("quiet");
    if (options.verbose && options.quiet)
        return usageError(program, QStringLiteral("--verbose and --quiet exclude each other"), name);
    options.json = set("json");
    options.csv = set("csv");
    if (options.json && options.csv)
        return usageError(program, QStringLiteral("--json and --csv exclude each other"), name);
    options.recordFile = numbers.restored(parser.value(QStringLiteral("record")));
    if (parser.isSet(QStringLiteral("record")) && options.recordFile.isEmpty())
        return usageError(program, QStringLiteral("--record needs a file"), name);
    options.yes = set("yes");
    options.dryRun = set("dry-run");
    options.resume = set("resume");
    options.force = set("force");
    if (set("slot"))
        options.slot = numbers.restored(parser.value(QStringLiteral("slot")));
    if (set("fit"))
        options.fit = numbers.restored(parser.value(QStringLiteral("fit")));
    if (set("dither"))
        options.dither = numbers.restored(parser.value(QStringLiteral("dither")));
    return parsed;
}

} // namespace
