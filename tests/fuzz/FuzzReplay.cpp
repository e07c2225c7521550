// Runs a fuzz target on every file of its corpus as ordinary test cases, one case
// per file, so an input that once made the target fail keeps being checked in the
// trees built without libFuzzer. MIRETH_FUZZ_CORPUS names the corpus folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

std::vector<std::filesystem::path> corpusFiles() {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(MIRETH_FUZZ_CORPUS, error)) {
        if (entry.is_regular_file())
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

class Corpus : public ::testing::TestWithParam<std::filesystem::path> {
protected:
    static void SetUpTestSuite() {
        if (LLVMFuzzerInitialize) {
            int argc = 0;
            char** argv = nullptr;
            LLVMFuzzerInitialize(&argc, &argv);
        }
    }
};

TEST(CorpusFolder, HoldsSeeds) { EXPECT_FALSE(corpusFiles().empty()) << MIRETH_FUZZ_CORPUS; }

TEST_P(Corpus, InputPassesTheTarget) {
    std::ifstream in(GetParam(), std::ios::binary);
    ASSERT_TRUE(in) << GetParam();
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // A copy of exactly the input's size, so a read past its end is caught.
    std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
    EXPECT_EQ(LLVMFuzzerTestOneInput(data.data(), data.size()), 0);
}

std::string caseName(const ::testing::TestParamInfo<std::filesystem::path>& info) {
    // Numbered, so that names which differ only in punctuation stay apart.
    std::string name = std::to_string(info.index) + "_" + info.param.filename().string();
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Files, Corpus, ::testing::ValuesIn(corpusFiles()), caseName);

} // namespace
