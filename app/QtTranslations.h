#pragma once
// Qt's own texts (the standard buttons, the colour and font choosers' labels) in German, like
// every text of the program itself.

class QCoreApplication;

// Installs Qt's German catalogue from the system's translations; false when it is missing.
bool installQtGerman(QCoreApplication& app);
