/* The published interface of the RAR extraction library UnRAR64.dll: the four entry points the
 * engine looks up by name, their structures, result codes and callback messages. Plain C types
 * only, because both the engine and the module that implements the library include it, and the
 * layout has to match the library's own header field by field (LPARAM is pointer-sized, HANDLE a
 * pointer, the calling convention the platform's default for 64-bit code). */
#ifndef TARVIUM_ARCHIVE_UNRAR_API_H
#define TARVIUM_ARCHIVE_UNRAR_API_H

#include <stdint.h>
#include <wchar.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Result codes of the four entry points (OpenResult of RAROpenArchiveEx). */
#define ERAR_SUCCESS 0
#define ERAR_END_ARCHIVE 10
#define ERAR_NO_MEMORY 11
#define ERAR_BAD_DATA 12
#define ERAR_BAD_ARCHIVE 13
#define ERAR_UNKNOWN_FORMAT 14
#define ERAR_EOPEN 15
#define ERAR_ECREATE 16
#define ERAR_ECLOSE 17
#define ERAR_EREAD 18
#define ERAR_EWRITE 19
#define ERAR_SMALL_BUF 20
#define ERAR_UNKNOWN 21
#define ERAR_MISSING_PASSWORD 22
#define ERAR_EREFERENCE 23
#define ERAR_BAD_PASSWORD 24

/* OpenMode */
#define RAR_OM_LIST 0
#define RAR_OM_EXTRACT 1
#define RAR_OM_LIST_INCSPLIT 2

/* Operation of RARProcessFile */
#define RAR_SKIP 0
#define RAR_TEST 1
#define RAR_EXTRACT 2

/* Flags of RAROpenArchiveDataEx: the archive's main header flags. */
#define ROADF_VOLUME 0x0001
#define ROADF_COMMENT 0x0002
#define ROADF_LOCK 0x0004
#define ROADF_SOLID 0x0008
#define ROADF_NEWNUMBERING 0x0010
#define ROADF_SIGNED 0x0020
#define ROADF_RECOVERY 0x0040
#define ROADF_ENCHEADERS 0x0080
#define ROADF_FIRSTVOLUME 0x0100

/* Flags of RARHeaderData */
#define RHDF_SPLITBEFORE 0x01
#define RHDF_SPLITAFTER 0x02
#define RHDF_ENCRYPTED 0x04
#define RHDF_SOLID 0x10
#define RHDF_DIRECTORY 0x20

/* Messages of the callback. UCM_NEEDPASSWORD passes a char buffer in P1 and its size in P2; the
 * callback answers 1 to go on and -1 to stop. */
enum UNRARCALLBACK_MESSAGES {
  UCM_CHANGEVOLUME,
  UCM_PROCESSDATA,
  UCM_NEEDPASSWORD,
  UCM_CHANGEVOLUMEW,
  UCM_NEEDPASSWORDW,
  UCM_LARGEDICT
};

typedef intptr_t RAR_LPARAM;
typedef void* RAR_HANDLE;
typedef int (*UNRARCALLBACK)(unsigned int msg, RAR_LPARAM UserData, RAR_LPARAM P1, RAR_LPARAM P2);

struct RAROpenArchiveDataEx {
  char* ArcName;
  wchar_t* ArcNameW;
  unsigned int OpenMode;
  unsigned int OpenResult;
  char* CmtBuf;
  unsigned int CmtBufSize;
  unsigned int CmtSize;
  unsigned int CmtState; /* 0 no comment, 1 read, ERAR_ code otherwise */
  unsigned int Flags;    /* ROADF_ */
  UNRARCALLBACK Callback;
  RAR_LPARAM UserData;
  unsigned int OpFlags;
  wchar_t* CmtBufW;
  unsigned int Reserved[25];
};

struct RARHeaderData {
  char ArcName[260];
  char FileName[260];
  unsigned int Flags; /* RHDF_ */
  unsigned int PackSize;
  unsigned int UnpSize;
  unsigned int HostOS;
  unsigned int FileCRC;
  unsigned int FileTime; /* MS-DOS date and time */
  unsigned int UnpVer;
  unsigned int Method;
  unsigned int FileAttr;
  char* CmtBuf;
  unsigned int CmtBufSize;
  unsigned int CmtSize;
  unsigned int CmtState;
};

typedef RAR_HANDLE (*RAROpenArchiveExProc)(struct RAROpenArchiveDataEx* ArchiveData);
typedef int (*RARCloseArchiveProc)(RAR_HANDLE hArcData);
typedef int (*RARReadHeaderProc)(RAR_HANDLE hArcData, struct RARHeaderData* HeaderData);
typedef int (*RARProcessFileProc)(RAR_HANDLE hArcData, int Operation, char* DestPath,
                                  char* DestName);

#ifdef __cplusplus
}
#endif

#endif /* TARVIUM_ARCHIVE_UNRAR_API_H */
