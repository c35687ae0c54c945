#pragma once
// The toolkit's own texts (the file and print dialogs' buttons and labels)
// in Chinese, as the program's own texts are, whatever the system's locale.

// Loads Qt's Chinese translation from the toolkit's translations folder and
// installs it on the application; false when the file is not there (the
// dialogs then stay in English).
bool InstallToolkitChinese();
