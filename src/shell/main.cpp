#include "common/NumberText.h"
#include "common/ProgramInfo.h"
#include "dialogs/AboutUnit.h"
#include "shell/Application.h"
#include "shell/MainUnit.h"

namespace {

const char* const kHelp =
    "Использование: isotri [ПАКЕТНЫЙ_ФАЙЛ]\n"
    "Изолинии моделей свойств смесей на концентрационном треугольнике.\n"
    "\n"
    "Если задан ровно один аргумент, это пакетный файл: он выполняется, когда окно\n"
    "открывается. При другом числе аргументов они не учитываются.\n"
    "\n"
    "      --help     показать эту справку и выйти\n"
    "      --version  показать версию и выйти\n"
    "\n"
    "Модуль default.so ищется рядом с программой, затем в lib/isotri установленного\n"
    "дерева; модули *.so текущего каталога загружаются при запуске. О пакетных файлах:\n"
    "меню \"Справка\" (multiobjective.pdf).\n";

}  // namespace

int main(int argc, char** argv) {
    // Answered before the application object exists: no display is needed to read them.
    switch (isotri::FindInfoRequest(argc, argv)) {
        case isotri::InfoRequest::Help:
            return isotri::PrintInfo("isotri", kHelp);
        case isotri::InfoRequest::Version:
            return isotri::PrintInfo("isotri", isotri::VersionText("isotri"));
        case isotri::InfoRequest::None:
            break;
    }
    TApplication app(argc, argv);
    const isotri::NumberText numbers = isotri::NumberText::FromSystemLocale();
    TMainForm form(numbers);
    form.CreateDialogs();
    form.SetArguments(app.arguments().mid(1));
    form.show();
    return app.exec();
}
