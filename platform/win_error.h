// Windows error codes, as the ports report them. Every port call returns one of these
// (kSuccess on success), so core code reasons about failures exactly as it would on Windows.
#ifndef QDW_PLATFORM_WIN_ERROR_H_
#define QDW_PLATFORM_WIN_ERROR_H_

#include <cstdint>

namespace qdw::platform {

using WinError = uint32_t;

inline constexpr WinError kSuccess = 0;
inline constexpr WinError kErrorFileNotFound = 2;
inline constexpr WinError kErrorPathNotFound = 3;
inline constexpr WinError kErrorAccessDenied = 5;
inline constexpr WinError kErrorInvalidHandle = 6;
inline constexpr WinError kErrorNotEnoughMemory = 8;
inline constexpr WinError kErrorInvalidDrive = 15;
inline constexpr WinError kErrorNoMoreFiles = 18;
inline constexpr WinError kErrorNotReady = 21;
inline constexpr WinError kErrorWriteFault = 29;
inline constexpr WinError kErrorReadFault = 30;
inline constexpr WinError kErrorSharingViolation = 32;
inline constexpr WinError kErrorLockViolation = 33;
inline constexpr WinError kErrorHandleEof = 38;
inline constexpr WinError kErrorHandleDiskFull = 39;
inline constexpr WinError kErrorNotSupported = 50;
inline constexpr WinError kErrorFileExists = 80;
inline constexpr WinError kErrorInvalidParameter = 87;
inline constexpr WinError kErrorDiskFull = 112;
inline constexpr WinError kErrorInsufficientBuffer = 122;
inline constexpr WinError kErrorInvalidName = 123;
inline constexpr WinError kErrorModNotFound = 126;
inline constexpr WinError kErrorProcNotFound = 127;
inline constexpr WinError kErrorDirNotEmpty = 145;
inline constexpr WinError kErrorBadPathname = 161;
inline constexpr WinError kErrorAlreadyExists = 183;
inline constexpr WinError kErrorFilenameExcedRange = 206;
inline constexpr WinError kErrorMoreData = 234;
inline constexpr WinError kErrorWaitTimeout = 258;
inline constexpr WinError kErrorNoMoreItems = 259;
inline constexpr WinError kErrorDirectory = 267;  // the path is not a folder
inline constexpr WinError kErrorServiceRequestTimeout = 1053;
inline constexpr WinError kErrorServiceAlreadyRunning = 1056;
inline constexpr WinError kErrorServiceDisabled = 1058;
inline constexpr WinError kErrorServiceDoesNotExist = 1060;
inline constexpr WinError kErrorServiceCannotAcceptCtrl = 1061;
inline constexpr WinError kErrorServiceNotActive = 1062;
inline constexpr WinError kErrorServiceMarkedForDelete = 1072;
inline constexpr WinError kErrorNoneMapped = 1332;
inline constexpr WinError kErrorInvalidSid = 1337;
inline constexpr WinError kErrorNoSecurityOnObject = 1350;
inline constexpr WinError kErrorNoToken = 1008;
inline constexpr WinError kErrorFileInvalid = 1006;
inline constexpr WinError kErrorNetNameDeleted = 64;
inline constexpr WinError kErrorBadNetName = 67;
inline constexpr WinError kErrorResourceNameNotFound = 1814;  // no resource of that number
inline constexpr WinError kNerrDuplicateShare = 2118;
inline constexpr WinError kNerrNetNameNotFound = 2310;
inline constexpr WinError kNerrUnknownDevDir = 2116;

// Wait results of process and object waits.
inline constexpr uint32_t kWaitObject0 = 0;
inline constexpr uint32_t kWaitTimeout = 258;
inline constexpr uint32_t kWaitFailed = 0xFFFFFFFF;
inline constexpr uint32_t kInfinite = 0xFFFFFFFF;

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_WIN_ERROR_H_
