#pragma once
// Registers the built-in window classes ("Button", "Static", "Edit", "ListBox", "ComboBox",
// "ComboLBox", "ScrollBar", "#32770"), as Windows has them from the start. The window manager
// calls it once, the first time it looks a class up; the classes live as long as the process.
namespace win::controls {

void InstallSystemClasses();

}  // namespace win::controls
