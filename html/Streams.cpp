#include "Streams.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <random>

namespace zv {

int64_t TStream::Size()
{
    const int64_t pos = Seek(0, TSeekOrigin::Current);
    const int64_t size = Seek(0, TSeekOrigin::End);
    Seek(pos, TSeekOrigin::Beginning);
    return size;
}

void TStream::ReadBuffer(void* Buffer, int64_t Count)
{
    if (Count > 0 && Read(Buffer, Count) != Count)
        throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count)
{
    if (Count > 0 && Write(Buffer, Count) != Count)
        throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& Source, int64_t Count)
{
    if (Count == 0) {
        Source.SetPosition(0);
        Count = Source.Size();
    }
    const int64_t total = Count;
    char buffer[65536];
    while (Count > 0) {
        const int64_t n = std::min<int64_t>(Count, sizeof buffer);
        Source.ReadBuffer(buffer, n);
        WriteBuffer(buffer, n);
        Count -= n;
    }
    return total;
}

// --- TMemoryStream -------------------------------------------------------------------------

int64_t TMemoryStream::Read(void* Buffer, int64_t Count)
{
    if (Count <= 0 || Pos >= Size())
        return 0;
    const int64_t n = std::min(Count, Size() - Pos);
    std::memcpy(Buffer, Data.data() + Pos, static_cast<size_t>(n));
    Pos += n;
    return n;
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count)
{
    if (Count <= 0)
        return 0;
    if (Pos + Count > Size()) {
        if (Pos + Count > static_cast<int64_t>(Data.capacity()))
            Data.reserve(std::max<size_t>(static_cast<size_t>(Pos + Count), Data.capacity() * 2));
        Data.resize(static_cast<size_t>(Pos + Count));
    }
    std::memcpy(Data.data() + Pos, Buffer, static_cast<size_t>(Count));
    Pos += Count;
    return Count;
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin)
{
    int64_t base = 0;
    if (Origin == TSeekOrigin::Current)
        base = Pos;
    else if (Origin == TSeekOrigin::End)
        base = Size();
    Pos = std::max<int64_t>(0, base + Offset);
    return Pos;
}

void TMemoryStream::SetSize(int64_t NewSize)
{
    Data.resize(static_cast<size_t>(std::max<int64_t>(0, NewSize)));
    Pos = std::min(Pos, Size());
}

void TMemoryStream::Clear()
{
    Data.clear();
    Pos = 0;
}

void TMemoryStream::Reserve(int64_t Capacity)
{
    if (Capacity > static_cast<int64_t>(Data.capacity()))
        Data.reserve(static_cast<size_t>(Capacity));
}

void ReserveFor(TStream& Stream, int64_t Count)
{
    if (auto* Memory = dynamic_cast<TMemoryStream*>(&Stream); Memory && Count > 0)
        Memory->Reserve(Memory->Position() + Count);
}

void TMemoryStream::LoadFromStream(TStream& Source)
{
    Source.SetPosition(0);
    const int64_t n = Source.Size();
    Data.resize(static_cast<size_t>(n));
    Pos = 0;
    Source.ReadBuffer(Data.data(), n);
}

void TMemoryStream::LoadFromFile(const std::string& FileName)
{
    TFileStream file(FileName, TFileMode::OpenRead);
    LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& Dest)
{
    Dest.WriteBuffer(Data.data(), Size());
}

void TMemoryStream::SaveToFile(const std::string& FileName)
{
    SaveFileAtomically(FileName, Data.data(), Size());
}

// --- TFileStream ---------------------------------------------------------------------------

static std::string ErrnoText()
{
    return std::strerror(errno);
}

TFileStream::TFileStream(const std::string& FileName, TFileMode Mode) : Name(FileName)
{
    int flags = O_CLOEXEC | O_NONBLOCK;
    switch (Mode) {
    case TFileMode::Create: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
    case TFileMode::OpenRead: flags |= O_RDONLY; break;
    case TFileMode::OpenWrite: flags |= O_WRONLY; break;
    case TFileMode::OpenReadWrite: flags |= O_RDWR; break;
    }
    Fd = ::open(FileName.c_str(), flags, 0666);
    if (Fd < 0) {
        if (Mode == TFileMode::Create)
            throw EFCreateError("Cannot create file \"" + FileName + "\". " + ErrnoText());
        throw EFOpenError("Cannot open file \"" + FileName + "\". " + ErrnoText());
    }
    struct stat st {};
    const char* refused = ::fstat(Fd, &st) != 0                         ? nullptr
                          : S_ISDIR(st.st_mode)                          ? "Is a directory"
                          : S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode) ? "Not a regular file"
                                                                         : nullptr;
    if (refused) {
        ::close(Fd);
        Fd = -1;
        throw EFOpenError("Cannot open file \"" + FileName + "\". " + refused);
    }
    ::fcntl(Fd, F_SETFL, ::fcntl(Fd, F_GETFL) & ~O_NONBLOCK);
}

TFileStream::~TFileStream()
{
    if (Fd >= 0)
        ::close(Fd);
}

int64_t TFileStream::Read(void* Buffer, int64_t Count)
{
    int64_t done = 0;
    auto* p = static_cast<char*>(Buffer);
    while (done < Count) {
        const ssize_t n = ::read(Fd, p + done, static_cast<size_t>(Count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count)
{
    int64_t done = 0;
    const auto* p = static_cast<const char*>(Buffer);
    while (done < Count) {
        const ssize_t n = ::write(Fd, p + done, static_cast<size_t>(Count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin)
{
    const int whence = Origin == TSeekOrigin::Beginning ? SEEK_SET
                       : Origin == TSeekOrigin::Current ? SEEK_CUR
                                                        : SEEK_END;
    const off_t r = ::lseek(Fd, static_cast<off_t>(Offset), whence);
    return r < 0 ? -1 : static_cast<int64_t>(r);
}

void TFileStream::SetSize(int64_t NewSize)
{
    if (::ftruncate(Fd, static_cast<off_t>(NewSize)) != 0)
        throw EWriteError("Cannot resize file \"" + Name + "\". " + ErrnoText());
    if (Position() > NewSize)
        Seek(NewSize, TSeekOrigin::Beginning);
}

void TFileStream::Flush()
{
    if (::fsync(Fd) != 0 && errno != EINVAL && errno != EROFS)
        throw EWriteError("Cannot write file \"" + Name + "\". " + ErrnoText());
}

// --- Atomic save ---------------------------------------------------------------------------

void SaveFileAtomically(const std::string& FileName, const void* Data, int64_t Count)
{
    SaveFileAtomically(FileName, [Data, Count](TStream& File) { File.WriteBuffer(Data, Count); });
}

bool SaveThroughUnnamedFile = true;

namespace {

constexpr size_t RandomLetters = 8;

// Prefix followed by random letters and digits.
std::string RandomName(const std::string& Prefix)
{
    static constexpr char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device Source;
    uint64_t Bits = (uint64_t(Source()) << 32) | Source();
    std::string Name = Prefix;
    for (size_t I = 0; I < RandomLetters; ++I, Bits /= 62)
        Name += Letters[Bits % 62];
    return Name;
}

// A new file named Prefix + random letters, locked; -1 with errno set when it cannot be made.
int CreateNamed(const std::string& Prefix, std::string& Name)
{
    for (int Tries = 0; Tries < 100; ++Tries) {
        Name = RandomName(Prefix);
        const int Fd = ::open(Name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (Fd >= 0) {
            ::flock(Fd, LOCK_EX | LOCK_NB);
            return Fd;
        }
        if (errno != EEXIST)
            break;
    }
    Name.clear();
    return -1;
}

// Gives the unnamed file Fd the name Prefix + random letters; false (errno telling why) when
// this system lets the process name no such file.
bool LinkUnnamed(int Fd, const std::string& Prefix, std::string& Name)
{
    const std::string Self = "/proc/self/fd/" + std::to_string(Fd);
    for (int Tries = 0; Tries < 100; ++Tries) {
        Name = RandomName(Prefix);
        if (::linkat(AT_FDCWD, Self.c_str(), AT_FDCWD, Name.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno == EEXIST)
            continue;
        // without /proc: the descriptor itself, which takes a privilege
        if (::linkat(Fd, "", AT_FDCWD, Name.c_str(), AT_EMPTY_PATH) == 0)
            return true;
        if (errno != EEXIST)
            break;
    }
    Name.clear();
    return false;
}

// A named temporary file carries this mark after the file's own name; its save holds it
// locked from its naming until it has replaced the file.
constexpr const char* TemporaryMark = "~";

// Removes the temporary files of Base in Folder that no save holds: a save that died after
// naming its file and before putting it in place left them.
void RemoveAbandoned(const std::string& Folder, const std::string& Base)
{
    const std::string Start = "." + Base + "." + TemporaryMark;
    DIR* Dir = ::opendir(Folder.c_str());
    if (!Dir)
        return;
    const int DirFd = ::dirfd(Dir);
    while (const dirent* Entry = ::readdir(Dir)) {
        const std::string_view Name = Entry->d_name;
        if (Name.size() != Start.size() + RandomLetters || !Name.starts_with(Start))
            continue;
        const int Fd = ::openat(DirFd, Entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (Fd < 0)
            continue;
        struct stat Held {}, Named {};
        if (::flock(Fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(Fd, &Held) == 0 && S_ISREG(Held.st_mode) &&
            ::fstatat(DirFd, Entry->d_name, &Named, AT_SYMLINK_NOFOLLOW) == 0 &&
            Named.st_dev == Held.st_dev && Named.st_ino == Held.st_ino)
            ::unlinkat(DirFd, Entry->d_name, 0);
        ::close(Fd);
    }
    ::closedir(Dir);
}

bool SyncFailed(int Fd)
{
    return ::fsync(Fd) != 0 && errno != EINVAL && errno != EROFS;
}

}  // namespace

void SaveFileAtomically(const std::string& Name, const std::function<void(TStream&)>& Write)
{
    // Through a symbolic link the file it points to is replaced, and the link stays.
    std::string FileName = Name;
    struct stat link {};
    if (::lstat(Name.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        if (char* target = ::realpath(Name.c_str(), nullptr)) {
            FileName = target;
            std::free(target);
        }
    }
    // A file the user may not write is not replaced, though the folder would allow it.
    if (::access(FileName.c_str(), F_OK) == 0 && ::access(FileName.c_str(), W_OK) != 0)
        throw EFCreateError("Cannot create file \"" + FileName + "\". " + ErrnoText());
    const auto slash = FileName.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : FileName.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? FileName : FileName.substr(slash + 1);
    const std::string prefix = (slash == std::string::npos ? std::string() : folder) + "." + base + ".";
    RemoveAbandoned(folder, base);

    // The new text goes into a file without a name, which the system removes when the save
    // dies part way; it is named only when it is whole, just before it replaces the old one.
    // Where the file system cannot make one, a named temporary file takes its place.
    std::string tmp;  // the temporary file's name, once it has one
    int fd = SaveThroughUnnamedFile ? ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600) : -1;
    if (fd < 0 && (!SaveThroughUnnamedFile || errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL))
        fd = CreateNamed(prefix + TemporaryMark, tmp);
    if (fd < 0)
        throw EFCreateError("Cannot create file \"" + FileName + "\". " + ErrnoText());
    // The stream closes the descriptor, whatever happens.
    std::unique_ptr<TFileStream> file(new TFileStream(fd, tmp));

    auto fail = [&](const std::string& what) {
        const std::string reason = ErrnoText();
        file.reset();
        if (!tmp.empty())
            ::unlink(tmp.c_str());
        throw EWriteError(what + " \"" + FileName + "\". " + reason);
    };

    // Keep the permissions of the file being replaced; a new file gets the usual ones.
    struct stat st {};
    mode_t mode = 0;
    if (::stat(FileName.c_str(), &st) == 0)
        mode = st.st_mode & 07777;
    else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);

    try {
        errno = 0;
        Write(*file);
    } catch (const EWriteError&) {
        // A write that stopped short without an error of its own: the disk is full or the
        // file too large.
        if (errno == 0)
            errno = EIO;
        fail("Cannot write file");
    } catch (...) {
        file.reset();
        if (!tmp.empty())
            ::unlink(tmp.c_str());
        throw;
    }
    if (SyncFailed(fd))
        fail("Cannot write file");
    if (tmp.empty())
        ::flock(fd, LOCK_EX | LOCK_NB);
    if (tmp.empty() && !LinkUnnamed(fd, prefix + TemporaryMark, tmp)) {
        // No way to name it here: a copy goes into a named temporary file.
        const int named = CreateNamed(prefix + TemporaryMark, tmp);
        if (named < 0)
            fail("Cannot create file");
        std::unique_ptr<TFileStream> copy(new TFileStream(named, tmp));
        ::fchmod(named, mode);
        try {
            errno = 0;
            copy->CopyFrom(*file, 0);
        } catch (const EStreamError&) {
            const int error = errno != 0 ? errno : EIO;
            file = std::move(copy);
            errno = error;
            fail("Cannot write file");
        }
        file = std::move(copy);
        if (SyncFailed(named))
            fail("Cannot write file");
    }
    // Put in place while still open: its lock keeps other saves from taking it for abandoned.
    // Once synced, nothing is left for the close to report.
    if (::rename(tmp.c_str(), FileName.c_str()) != 0)
        fail("Cannot write file");
}

TPathKind PathKind(const std::string& Path)
{
    struct stat Info {};
    if (::stat(Path.c_str(), &Info) != 0)
        return errno == ENOENT || errno == ENOTDIR ? TPathKind::Missing
               : errno == ELOOP                    ? TPathKind::LinkLoop
                                                   : TPathKind::Unknown;
    return S_ISREG(Info.st_mode)    ? TPathKind::RegularFile
           : S_ISDIR(Info.st_mode)  ? TPathKind::Folder
           : S_ISFIFO(Info.st_mode) ? TPathKind::Pipe
                                    : TPathKind::Other;
}

bool IsRegularFile(const std::string& Path)
{
    return PathKind(Path) == TPathKind::RegularFile;
}

}  // namespace zv
