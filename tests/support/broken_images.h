// Broken image files made from good ones: truncations, bit flips, headers claiming huge or empty
// sizes, wrong extensions, empty files and directories named like images. Deterministic: the
// same seeds give the same files, byte for byte.
#pragma once
#include <string>
#include <vector>

namespace brokenimages {

// What a broken file is, and so what a decoder must make of it.
enum class Kind {
    Truncated,       // cut short: never a whole image
    BitFlipped,      // damaged bytes: may still decode, but never crash or lie about its size
    HugeHeader,      // header claims a size beyond the decoders' limits: no image
    EmptyHeader,     // header claims 0 x 0 (or a zero side): no image
    WrongExtension,  // good content under another format's extension: decodes by its content
    EmptyFile,       // zero bytes: no image
    Directory,       // a directory named like an image: no image
};

struct BrokenFile {
    std::string name;  // file name inside the output directory
    Kind kind;
    std::string seed;  // path of the good file it was made from ("" for empty files/directories)
};

// Writes the broken variants of every seed file into `directory` (created if needed) and returns
// their list. Seeds are PNG, JPEG or TIFF files, recognised by their first bytes.
std::vector<BrokenFile> MakeBrokenImages(const std::vector<std::string>& seeds,
                                         const std::string& directory);

const char* KindName(Kind kind);

}  // namespace brokenimages
