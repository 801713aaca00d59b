// Where the graph reader takes its bytes from: an open file, or a buffer in
// memory (the fuzz targets and the tests analyse from memory through the
// same reader).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/File.hpp"

namespace quorvel {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Copies up to n bytes at offset; returns how many (less only at the end).
    virtual std::size_t ReadAt(std::uint64_t offset, std::uint8_t* dst, std::size_t n) = 0;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* dst, std::size_t n) override;

private:
    std::span<const std::uint8_t> bytes_;
};

class FileSource final : public ByteSource {
public:
    explicit FileSource(ReadOnlyFile file) : file_(std::move(file)) {}
    std::uint64_t Size() const override { return file_.Size(); }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* dst, std::size_t n) override {
        return file_.ReadAt(offset, dst, n);
    }
    const ReadOnlyFile& File() const { return file_; }

private:
    ReadOnlyFile file_;
};

}  // namespace quorvel
