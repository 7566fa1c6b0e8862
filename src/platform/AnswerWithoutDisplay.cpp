#include "platform/AnswerWithoutDisplay.h"

#include <QStringList>

#include <cstdio>

namespace fenra {

std::optional<int> answerWithoutDisplay(int argc, char* argv[], const QString& program, const QString& version,
                                        void (*describe)(QCommandLineParser&))
{
    QCommandLineParser early;
    describe(early);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    early.parse(arguments);
    if (early.isSet(QStringLiteral("help")) || early.isSet(QStringLiteral("help-all"))) {
        // Without the application object the parser does not know the program's name.
        std::fputs(qPrintable(early.helpText().replace(QLatin1String("<executable_name>"), program)), stdout);
        return 0;
    }
    if (early.isSet(QStringLiteral("version"))) {
        std::printf("%s %s\n", qPrintable(program), qPrintable(version));
        return 0;
    }
    return std::nullopt;
}

}   // namespace fenra
