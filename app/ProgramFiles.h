#pragma once
// Where the program finds its own files: settings, pictures, video and help all hang off
// the real path of the running executable, whatever the working folder is.

#include "app/Language.h"

#include <QString>
#include <QStringList>

// The path with another extension: the part after the last "." of the file name is replaced, or
// the extension is appended when the name has none ("yearmark" -> "yearmark.jpg").
QString changeFileExt(const QString& path, const QString& ext);

// The file name without folder and extension ("/opt/ym/party.bin" -> "party").
QString fileBaseName(const QString& path);

// The folder part including its trailing separator ("/opt/ym/party" -> "/opt/ym/").
QString fileFolder(const QString& path);

// The real path of the running executable (/proc/self/exe). A folder whose name is no valid
// text in the locale's encoding is given as this process's descriptor for it
// ("/proc/<pid>/fd/<n>/yearmark"), so that its files are still found.
QString executablePath();

// The user's own folder for the files the program reads, for when the executable's folder is
// not theirs to write: "$XDG_DATA_HOME/Vemoral/<exe base name>/", XDG_DATA_HOME defaulting to
// ~/.local/share; a relative XDG_DATA_HOME is ignored, as the base-directory rules ask.
QString userDataFolder(const QString& exeBaseName);

// A file the program reads beside itself ("yearmark.jpg", "0.avi"): the exact name in the
// executable's folder, else a name there that differs only in case, else the same two steps in
// the user's data folder. Empty when none of these is a file.
QString findProgramFile(const QString& exePath, const QString& fileName);

// The background picture: "<base name>.jpg" if findProgramFile finds one, else ".bmp";
// empty when neither is found.
QString backgroundPicturePath(const QString& exePath);

// The help file: the executable's path with ".chm", the German help. For English the path with
// ".en.chm" when that file is there, else the German one.
QString helpFilePath(const QString& exePath, Language language);

// The names the zero moment's video may have, in the order they are looked for: "0.avi" first,
// then today's containers.
extern const QStringList kZeroVideoNames;

// The zero moment's video: the first of kZeroVideoNames that findProgramFile finds; empty when
// there is none.
QString findZeroVideo(const QString& exePath);

// The zero moment's picture: "0.jpg" if findProgramFile finds one, else "0.bmp"; empty when
// neither is found.
QString findZeroPicture(const QString& exePath);

// The video the play command plays: the first of kZeroVideoNames in the working folder, else
// the zero moment's video, so that F9 shows what midnight will show.
QString findPlayCommandVideo(const QString& exePath, const QString& workingFolder);
