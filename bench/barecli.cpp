// The baseline of brevant-cli's start: a bare Qt program on the command
// line that prints one line and ends.
#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::puts("bare 1.0");
    return 0;
}
