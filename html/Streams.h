#pragma once
// Byte streams: an abstract stream, a growable memory stream and a file stream.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "Exceptions.h"

namespace zv {

enum class TSeekOrigin { Beginning, Current, End };

class TStream {
public:
    virtual ~TStream() = default;

    // Reads up to Count bytes; answers how many were read (0 at the end).
    virtual int64_t Read(void* Buffer, int64_t Count) = 0;
    // Writes up to Count bytes; answers how many were written.
    virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
    // Moves the position; answers the new position.
    virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

    virtual int64_t Size();
    virtual void SetSize(int64_t NewSize) = 0;
    int64_t Position() { return Seek(0, TSeekOrigin::Current); }
    void SetPosition(int64_t Pos) { Seek(Pos, TSeekOrigin::Beginning); }

    // Read or write exactly Count bytes, else EReadError / EWriteError.
    void ReadBuffer(void* Buffer, int64_t Count);
    void WriteBuffer(const void* Buffer, int64_t Count);
    // Copies Count bytes from Source at its position (the whole of Source when Count is 0).
    int64_t CopyFrom(TStream& Source, int64_t Count);
};

class TMemoryStream : public TStream {
public:
    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() override { return static_cast<int64_t>(Data.size()); }
    void SetSize(int64_t NewSize) override;

    void Clear();
    // Makes room for Capacity bytes in all, so that writing up to there does not reallocate.
    void Reserve(int64_t Capacity);
    uint8_t* Memory() { return Data.data(); }
    const uint8_t* Memory() const { return Data.data(); }
    std::vector<uint8_t>& Bytes() { return Data; }

    void LoadFromStream(TStream& Source);
    void LoadFromFile(const std::string& FileName);
    void SaveToStream(TStream& Dest);
    void SaveToFile(const std::string& FileName);

private:
    std::vector<uint8_t> Data;
    int64_t Pos = 0;
};

// When Stream is a memory stream, makes room for Count more bytes from its position (writers
// that know, or can bound, their output size spare the stream its regrowth).
void ReserveFor(TStream& Stream, int64_t Count);

// Open modes of TFileStream.
enum class TFileMode { Create, OpenRead, OpenWrite, OpenReadWrite };

class TFileStream : public TStream {
public:
    // Raises EFCreateError (Create) or EFOpenError (the others) when the file cannot be had,
    // or when it is a folder, a FIFO or a socket (without waiting for a FIFO's other end).
    TFileStream(const std::string& FileName, TFileMode Mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    void SetSize(int64_t NewSize) override;

    // Pushes written bytes to the disk; raises EWriteError on failure.
    void Flush();
    const std::string& FileName() const { return Name; }

private:
    friend void SaveFileAtomically(const std::string& FileName, const std::function<void(TStream&)>& Write);
    // Takes over an open descriptor.
    TFileStream(int Descriptor, std::string FileName) : Name(std::move(FileName)), Fd(Descriptor) {}

    std::string Name;
    int Fd = -1;
};

// Writes Data to FileName through a temporary file in the same folder that is renamed over
// the old file only after everything was written and flushed. On any failure the old file is
// untouched and EFCreateError or EWriteError is raised.
void SaveFileAtomically(const std::string& FileName, const void* Data, int64_t Count);
// The same, with the content written by Write into a stream over the temporary file, so that
// it need not be held in memory in one piece first. Whatever Write raises leaves the old file
// untouched and is raised again.
void SaveFileAtomically(const std::string& FileName, const std::function<void(TStream&)>& Write);
// Saves write into a file without a name that is linked in once complete (true, where the
// file system can), else into a named temporary file from the start.
extern bool SaveThroughUnnamedFile;

// What Path names, following links. Unknown: it cannot be told (no permission, say).
enum class TPathKind { Missing, RegularFile, Folder, Pipe, LinkLoop, Other, Unknown };
TPathKind PathKind(const std::string& Path);

// True when Path names a regular file (following links): not a folder, FIFO or device.
bool IsRegularFile(const std::string& Path);

}  // namespace zv
