// zlib's one-call buffer functions, answered by libdeflate where it can.
//
// OpenEXR compresses and expands every ZIP block of a file with zlib's
// compress2() and uncompress(); on a float frame that is most of a render's
// time. The tool defines these three functions itself and exports them, so
// the libraries it loads with its image library bind to them ahead of
// zlib's. Each answers through libdeflate, which is much faster, and
// hands every case it does not finish (a level libdeflate does not take, an
// output buffer too small, a stream it does not accept) to zlib's own
// function, so callers see zlib's results and error codes.
//
// Expanding a valid stream gives the same bytes whoever decodes it.
// Compressing gives different but equally valid deflate streams: files read
// back the same, their bytes differ from what zlib would have written.
#include <zlib.h>

#include <dlfcn.h>

#include <libdeflate.h>

#include <memory>

namespace {

// zlib's own function of that name: looked up in zlib itself, not in the
// process's scope, where this file's definitions come first.
template <typename Function>
Function ZlibsOwn(const char *name) {
    static void *const zlib = ::dlopen("libz.so.1", RTLD_NOW | RTLD_LOCAL);
    return zlib != nullptr ? reinterpret_cast<Function>(::dlsym(zlib, name)) : nullptr;
}

using Compress2 = int (*)(Bytef *, uLongf *, const Bytef *, uLong, int);
using Uncompress = int (*)(Bytef *, uLongf *, const Bytef *, uLong);

int ZlibCompress2(Bytef *dest, uLongf *dest_len, const Bytef *source, uLong source_len, int level) {
    static const Compress2 own = ZlibsOwn<Compress2>("compress2");
    return own != nullptr ? own(dest, dest_len, source, source_len, level) : Z_MEM_ERROR;
}

int ZlibUncompress(Bytef *dest, uLongf *dest_len, const Bytef *source, uLong source_len) {
    static const Uncompress own = ZlibsOwn<Uncompress>("uncompress");
    return own != nullptr ? own(dest, dest_len, source, source_len) : Z_MEM_ERROR;
}

struct CompressorDeleter {
    void operator()(libdeflate_compressor *compressor) const { libdeflate_free_compressor(compressor); }
};
struct DecompressorDeleter {
    void operator()(libdeflate_decompressor *decompressor) const { libdeflate_free_decompressor(decompressor); }
};

// One per thread (OpenEXR compresses blocks on several), kept for the
// thread's life; a compressor is made for one level.
libdeflate_compressor *CompressorFor(int level) {
    thread_local std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor;
    thread_local int compressor_level = -1;
    if (compressor_level != level) {
        compressor.reset(libdeflate_alloc_compressor(level));
        compressor_level = compressor ? level : -1;
    }
    return compressor.get();
}

libdeflate_decompressor *Decompressor() {
    thread_local const std::unique_ptr<libdeflate_decompressor, DecompressorDeleter> decompressor(
        libdeflate_alloc_decompressor());
    return decompressor.get();
}

constexpr int ZLIB_DEFAULT_LEVEL = 6;  // what Z_DEFAULT_COMPRESSION means to zlib

}  // namespace

extern "C" {

int compress2(Bytef *dest, uLongf *dest_len, const Bytef *source, uLong source_len, int level) {
    const int effective = level == Z_DEFAULT_COMPRESSION ? ZLIB_DEFAULT_LEVEL : level;
    // Level 0 (stored blocks) and anything out of range are zlib's to answer.
    if (dest != nullptr && dest_len != nullptr && source != nullptr && effective >= 1 && effective <= 9) {
        if (libdeflate_compressor *compressor = CompressorFor(effective)) {
            const size_t written = libdeflate_zlib_compress(compressor, source, source_len, dest, *dest_len);
            if (written != 0) {
                *dest_len = written;
                return Z_OK;
            }
        }
    }
    return ZlibCompress2(dest, dest_len, source, source_len, level);
}

int compress(Bytef *dest, uLongf *dest_len, const Bytef *source, uLong source_len) {
    return compress2(dest, dest_len, source, source_len, Z_DEFAULT_COMPRESSION);
}

int uncompress(Bytef *dest, uLongf *dest_len, const Bytef *source, uLong source_len) {
    if (dest != nullptr && dest_len != nullptr && source != nullptr) {
        if (libdeflate_decompressor *decompressor = Decompressor()) {
            size_t written = 0;
            if (libdeflate_zlib_decompress(decompressor, source, source_len, dest, *dest_len, &written) ==
                LIBDEFLATE_SUCCESS) {
                *dest_len = written;
                return Z_OK;
            }
        }
    }
    return ZlibUncompress(dest, dest_len, source, source_len);
}

}  // extern "C"
