#include "common/NumberText.h"
#include "dialogs/AboutUnit.h"
#include "shell/Application.h"
#include "shell/MainUnit.h"

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    const isotri::NumberText numbers = isotri::NumberText::FromSystemLocale();
    TMainForm form(numbers);
    form.CreateDialogs();
    form.SetArguments(app.arguments().mid(1));
    form.show();
    return app.exec();
}
