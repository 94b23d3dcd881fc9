#pragma once
// Where the program finds its own files: settings, pictures, video and help all hang off
// the real path of the running executable, whatever the working folder is.

#include <QString>

// Delphi-style extension change: the part after the last "." of the file name is replaced,
// or the extension is appended when the name has none ("yearmark" -> "yearmark.jpg").
QString changeFileExt(const QString& path, const QString& ext);

// The file name without folder and extension ("/opt/ym/party.bin" -> "party").
QString fileBaseName(const QString& path);

// The folder part including its trailing separator ("/opt/ym/party" -> "/opt/ym/").
QString fileFolder(const QString& path);

// The real path of the running executable (/proc/self/exe).
QString executablePath();

// The background picture beside the executable: ".jpg" if that file exists, else ".bmp";
// empty when neither exists.
QString backgroundPicturePath(const QString& exePath);
