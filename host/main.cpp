#include "host/HostStringBuilder.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    std::printf("resultado=1\n");
    return 0;
}
