#include "fuzz_common.h"

#include "platform/dialogs.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

void FuzzFail(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "FUZZ FINDING: %s:%d: %s\n", file, line, condition);
    std::abort();
}

QString ScratchPath(const QString& name) {
    static const QTemporaryDir folder;
    FUZZ_CHECK(folder.isValid());
    return folder.filePath(name);
}

void WriteScratchFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes) == bytes.size());
}

namespace {

class NoDialogs final : public Dialogs {
public:
    void message(QWidget*, const QString& text) override { fail(text); }
    void error(QWidget*, const QString& text) override { fail(text); }
    QString openFileName(QWidget*) override { fail(QStringLiteral("open dialog")); }
    QString saveFileName(QWidget*) override { fail(QStringLiteral("save dialog")); }
    bool print(QWidget*, QPrinter*) override { fail(QStringLiteral("print dialog")); }

private:
    [[noreturn]] static void fail(const QString& text) {
        std::fprintf(stderr, "dialog: %s\n", qPrintable(text));
        FuzzFail("no dialog opens", __FILE__, __LINE__);
    }
};

} // namespace

void StartFuzzApplication(char* program) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt gets none of libFuzzer's arguments; the application lives as long as the process.
    static int argc = 1;
    static char* argv[] = {program, nullptr};
    static const QApplication* const app = new QApplication(argc, argv);
    Q_UNUSED(app);
    static NoDialogs noDialogs;
    dialogsSeam.install(&noDialogs);
}
