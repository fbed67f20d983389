// A service bench: whole runs of tesselctl-emulated --all on 1, 2, 4, 8 and
// 16 emulated devices with 1 ms per report, each run a process of its own so
// that its peak memory is its own.
//  1. a parallel upgrade with a 256 KiB firmware file and a colour upload
//     (240 x 280): wall time, its ratio to one device, peak memory and its
//     growth per device;
//  2. eight devices with one broken link, one pulled out mid-way and one
//     silent among them: the three fail alone, the five others finish, in
//     about the time they take without them.
// Prints a table; asserts nothing.

#include <QCoreApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace {

struct Run
{
    double seconds = 0;
    double peakMb = 0;
    int code = -1;
    int succeeded = 0;
    int failed = 0;
};

// One tesselctl-emulated run with its own environment; its JSON document is
// read back from a file.
Run runTool(const QString &program, const QStringList &arguments, const QByteArrayList &environment,
            const QString &outFile)
{
    std::vector<QByteArray> words{program.toLocal8Bit()};
    for (const QString &argument : arguments)
        words.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    std::vector<QByteArray> variables;
    for (char **variable = environ; *variable; ++variable)
        variables.emplace_back(*variable);
    for (const QByteArray &variable : environment)
        variables.push_back(variable);
    std::vector<char *> envp;
    for (QByteArray &variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray outPath = outFile.toLocal8Bit();
    posix_spawn_file_actions_addopen(&actions, 1, outPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    Run run;
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return run;
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    run.peakMb = double(usage.ru_maxrss) / 1024.0;
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;

    QFile out(outFile);
    if (out.open(QIODevice::ReadOnly)) {
        const QJsonObject document = QJsonDocument::fromJson(out.readAll()).object();
        run.succeeded = document.value(QStringLiteral("succeeded")).toInt();
        run.failed = document.value(QStringLiteral("failed")).toInt();
    }
    return run;
}

QByteArray firmwareFile()
{
    QByteArray file = QByteArray("VELTRA-MINI").leftJustified(48, '\0');
    file.reserve(48 + 256 * 1024);
    for (int i = 0; i < 256 * 1024; ++i)
        file += char((i * 37 + 140) & 0xFF);
    return file;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/tesselctl-emulated");
    QTemporaryDir dir;
    const QString firmware = dir.filePath(QStringLiteral("firmware.bin"));
    const QString picture = dir.filePath(QStringLiteral("picture.png"));
    const QString out = dir.filePath(QStringLiteral("out.json"));
    {
        QFile file(firmware);
        if (!file.open(QIODevice::WriteOnly) || file.write(firmwareFile()) < 0)
            return 1;
        QImage image(240, 280, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, qRgb(x, y % 256, (x * y) % 256));
        if (!image.save(picture))
            return 1;
    }
    // Every device 1 ms per report; backups and settings in a scratch home.
    const QByteArrayList base{"TESSEL_EMULATED_FAULTS=*:latency=1000", "XDG_DATA_HOME=" + dir.filePath("data").toLocal8Bit(),
                              "XDG_CONFIG_HOME=" + dir.filePath("config").toLocal8Bit()};
    const QStringList upgrade{QStringLiteral("--all"), QStringLiteral("upgrade"), firmware, QStringLiteral("--yes"),
                              QStringLiteral("--json")};
    const QStringList upload{QStringLiteral("--all"), QStringLiteral("upload"), QStringLiteral("--slot"),
                             QStringLiteral("4"), picture, QStringLiteral("--json")};

    std::printf("tesselctl-emulated --all, 1 ms per report; upgrade 256 KiB, colour upload 240 x 280\n");
    std::printf("%7s | %10s %6s %9s | %10s %6s %9s | %8s\n", "devices", "upgrade s", "ratio", "peak MB", "upload s",
                "ratio", "peak MB", "MB/dev");
    Run firstUpgrade;
    Run firstUpload;
    for (int devices : {1, 2, 4, 8, 16}) {
        QByteArrayList environment = base;
        environment << "TESSEL_EMULATED_DEVICES=" + QByteArray::number(devices);
        const Run up = runTool(program, upgrade, environment, out);
        const Run colour = runTool(program, upload, environment, out);
        if (devices == 1) {
            firstUpgrade = up;
            firstUpload = colour;
        }
        const double perDevice =
            devices == 1 ? 0.0 : (std::max(up.peakMb - firstUpgrade.peakMb, colour.peakMb - firstUpload.peakMb)) / (devices - 1);
        std::printf("%7d | %10.2f %6.2f %9.1f | %10.2f %6.2f %9.1f | %8.2f%s\n", devices, up.seconds,
                    up.seconds / firstUpgrade.seconds, up.peakMb, colour.seconds, colour.seconds / firstUpload.seconds,
                    colour.peakMb, perDevice,
                    up.succeeded == devices && colour.succeeded == devices ? "" : "  (NOT ALL SUCCEEDED)");
        std::fflush(stdout);
    }

    std::printf("\n8 devices, 1 ms per report: device 2 a broken link, device 4 pulled out, device 6 silent\n");
    std::printf("%-8s | %10s %6s | %9s %6s | %4s\n", "job", "seconds", "ratio", "succeeded", "failed", "exit");
    QByteArrayList faulty{"TESSEL_EMULATED_FAULTS=*:latency=1000,2:fail-write=400,4:unplug-after=1500,6:silent",
                          "TESSEL_EMULATED_DEVICES=8", "XDG_DATA_HOME=" + dir.filePath("data").toLocal8Bit(),
                          "XDG_CONFIG_HOME=" + dir.filePath("config").toLocal8Bit()};
    const Run up = runTool(program, upgrade, faulty, out);
    std::printf("%-8s | %10.2f %6.2f | %9d %6d | %4d\n", "upgrade", up.seconds, up.seconds / firstUpgrade.seconds,
                up.succeeded, up.failed, up.code);
    const Run colour = runTool(program, upload, faulty, out);
    std::printf("%-8s | %10.2f %6.2f | %9d %6d | %4d\n", "upload", colour.seconds, colour.seconds / firstUpload.seconds,
                colour.succeeded, colour.failed, colour.code);
    return 0;
}
