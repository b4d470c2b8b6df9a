#pragma once
// Qt's own texts (the standard buttons Yes/No/Cancel, the file and print dialogs) in Portuguese
// (Brazil), from the translations installed with Qt; without them those texts stay in English.

// Installs them in the running application; false when they are not installed on this machine.
bool InstalarTraducoesQt();
