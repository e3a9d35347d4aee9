#pragma once

/*
 * The calling contract between Zentrix and its plug-in libraries.
 *
 * Each library is a shared object "Name.so" in the plug-in directory beside the
 * executable. The program looks every entry up by name, calls it, and (except
 * for FileInfo, which stays loaded for the whole run) releases the library right
 * after the call. Everything here is plain C so that a library needs nothing of
 * the program's own headers: strings are NUL-terminated UTF-8, host paths are the
 * file system's bytes.
 *
 * `owner` is the program's main window (a QWidget*) or null; a library that opens
 * windows makes them children of it. Every entry catches everything: no
 * exception ever leaves a library.
 */

#include <stdint.h>

#if defined(__GNUC__)
#define ZENTRIX_PLUGIN_EXPORT __attribute__((visibility("default")))
#else
#define ZENTRIX_PLUGIN_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Size of the text buffer of ExtendedFileSpec, NUL included. */
#define ZX_FILESPEC_BUFFER_SIZE 8192

/* A read-only list of strings. */
typedef struct ZxStringList {
    const char* const* items;
    int32_t count;
} ZxStringList;

/* Receives the text lines GetFileInfo produces, one call per line. */
typedef void (*ZxLineSink)(void* context, const char* line);

/* What the program knows about the volume behind a drive letter. */
typedef struct ZxVolumeFacts {
    uint32_t structSize; /* set by the caller: sizeof(ZxVolumeFacts) */
    int32_t ready;       /* 0: the drive's root is missing or unreadable */
    char letter;         /* 'A'..'Z' */
    char kind[16];       /* "Floppy", "Fixed", "Network", "CD-ROM", "RAM", "Unknown" */
    char label[256];
    char fileSystem[64];
    char root[4096];       /* host directory the letter stands for */
    char device[512];      /* mount source */
    char mountPoint[4096]; /* mount point holding root */
    int32_t virtualRoot;
    uint64_t totalBytes;
    uint64_t freeBytes; /* available to this user */
    int32_t hasSerial;
    uint32_t serial;
} ZxVolumeFacts;

/* Services of the program that libraries may use. */
typedef struct ZxHost {
    uint32_t structSize; /* sizeof(ZxHost) of the program */
    uint32_t version;    /* ZX_HOST_VERSION */
    /* Fills `facts` for a drive letter; 0 when the letter is no drive. */
    int32_t (*queryVolume)(uint32_t letter, ZxVolumeFacts* facts);
} ZxHost;

#define ZX_HOST_VERSION 1

/*
 * Optional in every library: called once right after loading, before any other
 * entry. The table stays valid while the library is loaded.
 */
typedef void (*ZentrixPluginAttachFn)(const ZxHost* host);
#define ZX_ATTACH_ENTRY "ZentrixPluginAttach"

/* ---- Utils.so ------------------------------------------------------------- */

/*
 * Lets the user build a file specification from the user file types
 * ("Text files (*.TXT *.DOC)") and typed masks. `buffer` holds
 * ZX_FILESPEC_BUFFER_SIZE bytes: on entry the current specification, on a
 * non-zero result the new one (always NUL-terminated). Zero: cancelled, buffer
 * unchanged.
 */
typedef unsigned char (*ExtendedFileSpecFn)(const ZxStringList* userFileTypes, char* buffer,
                                            void* owner);
/* Clipboard viewer. */
typedef void (*ShowZentrixQCVFn)(void* owner);
/* About box. */
typedef void (*ShowAboutFormFn)(void* owner);
/* Volume facts of a drive; `driveLetter` is the letter's character code. */
typedef void (*ShowDiskInfoFn)(uint32_t driveLetter, void* owner);

/* Icons inside a file (PE executables and libraries, icon and cursor files,
 * the icon a .desktop file names); `description` titles the window. */
typedef void (*ViewIconsFn)(const char* description, const char* fileName, void* owner);
/* The editor window on a file; returns when the window closes. */
typedef void (*EditFileFn)(const char* fileName, void* owner);
/* Prints a file (text paginated, pictures scaled) after the print dialog;
 * zero on failure, also when the user cancelled. */
typedef unsigned char (*PrintFileFn)(const char* fileName, void* owner);

/* ---- UnZip.so ------------------------------------------------------------- */

/*
 * Packs files into a ZIP archive. `fileList` holds one entry per name: a kind
 * byte and a host path, ended by a NUL; an empty entry (a second NUL) ends
 * the list. Kind 'F': an exact name, whatever bytes it holds (a directory
 * stands for its files); kind 'M': a directory path whose last part is a mask
 * ("*" and "?") the user typed, matched in that directory (and, with
 * `recurse`, in its subdirectories). Relative paths are taken in the current
 * directory. With `keepSubdirectories` the names keep their directories
 * (relative to the current directory, or to a mask's directory), otherwise
 * only the file name. `archiveName` is the host path of the archive to create.
 */
typedef void (*ZIPFilesFn)(unsigned char recurse, unsigned char keepSubdirectories,
                           const char* fileList, const char* archiveName, void* owner);
/* The archive window on an archive (host path); zero when it cannot be read. */
typedef unsigned char (*OpenZipFn)(const char* fileName, void* owner);
/* Tests every entry of an archive and shows the report; zero when the
 * archive is damaged or cannot be read. */
typedef unsigned char (*TestZIPArchiveFn)(const char* fileName, void* owner);

/* ---- Tools.so ------------------------------------------------------------- */

/* Processor, memory, kernel, uptime and disks. */
typedef void (*ShowSysInfoFn)(void* owner);
/* The disc information of the CD-ROM drives (from their device or an image). */
typedef void (*ShowCDBrowserFn)(void* owner);

/* ---- FileInfo.so ---------------------------------------------------------- */

/* Appends lines describing the file at the host path `fileName` to `sink`. */
typedef void (*GetFileInfoFn)(ZxLineSink sink, void* context, const char* fileName);

#ifdef __cplusplus
}
#endif
