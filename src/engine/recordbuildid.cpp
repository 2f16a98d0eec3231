// Build tool: records the GNU build-id of the document engine just linked,
// so that the program it is built with loads that engine and no other.
//
//   brevant_record_build_id MODULE OUTPUT.cpp

#include "io/moduleimage.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    if (args.size() != 3) {
        err << "usage: brevant_record_build_id MODULE OUTPUT.cpp\n";
        return 2;
    }
    const brevant::ModuleImage image = brevant::inspectModule(args.at(1));
    if (!image.whole || image.buildId.isEmpty()) {
        err << args.at(1) << ": " << (image.whole ? QStringLiteral("has no GNU build-id") : image.reason) << '\n';
        return 1;
    }
    const QByteArray source = "// Made by the build: the GNU build-id of the document engine built\n"
                              "// with this program.\n"
                              "namespace brevant {\n"
                              "extern const char kEngineBuildId[];\n"
                              "const char kEngineBuildId[] = \""
        + image.buildId.toHex() + "\";\n}\n";
    QFile out(args.at(2));
    if (out.open(QIODevice::ReadOnly) && out.readAll() == source)
        return 0;   // unchanged: nothing to compile again
    out.close();
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(source) != source.size()) {
        err << args.at(2) << ": " << out.errorString() << '\n';
        return 1;
    }
    return 0;
}
