// The demonstration program: the library's data-aware rich text editor on a small table.

#include "demo/RichEdit.h"
#include "platform/ui/Application.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication qt(argc, argv);
    vyn::TApplication application;
    vyn::StartRichEdit();
    vyn::Application->Run();
    return 0;
}
