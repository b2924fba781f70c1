#include <io/memoryfile.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

using Pelko::IO::MemoryFile;

namespace {

std::vector<std::string> lines(MemoryFile& file, std::vector<int>* progress = nullptr, unsigned size = 64)
{
    std::vector<std::string> result;
    std::vector<char> buffer(size + 8, 'X');
    while (file.good()) {
        unsigned length = file.getline(buffer.data(), size);
        EXPECT_EQ(buffer[length], '\0');
        EXPECT_EQ(buffer[size], 'X') << "wrote past the buffer";
        result.emplace_back(buffer.data(), length);
        if (progress)
            progress->push_back(file.progress());
    }
    return result;
}

} // namespace

TEST(MemoryFile, LineEndings)
{
    using Lines = std::vector<std::string>;
    std::vector<int> progress;

    std::string crlf = "a\r\nb";
    MemoryFile a(crlf.data(), crlf.size());
    EXPECT_EQ(lines(a, &progress), (Lines { "a", "b" }));
    EXPECT_EQ(progress, (std::vector<int> { 100, 200 }));
    EXPECT_TRUE(a.eof());

    std::string single = "a\n";
    MemoryFile b(single.data(), single.size());
    EXPECT_EQ(lines(b), (Lines { "a" }));
    EXPECT_TRUE(b.eof());
    EXPECT_FALSE(b.good());

    std::string empties = "\n\n";
    MemoryFile c(empties.data(), empties.size());
    EXPECT_EQ(lines(c), (Lines { "", "" }));

    std::string runs = "abc\r\r\n\rdef\r";
    MemoryFile d(runs.data(), runs.size());
    EXPECT_EQ(lines(d), (Lines { "abc", "\rdef" }));

    std::string unterminated = "\n\n\nlast";
    MemoryFile e(unterminated.data(), unterminated.size());
    progress.clear();
    EXPECT_EQ(lines(e, &progress), (Lines { "", "", "", "last" }));
    EXPECT_EQ(progress.back(), 133);

    // Without any line feed there is nothing to divide by.
    std::string oneLine = "only";
    MemoryFile f(oneLine.data(), oneLine.size());
    EXPECT_EQ(f.progress(), 0);
    EXPECT_EQ(lines(f), (Lines { "only" }));
    EXPECT_EQ(f.progress(), 100);

    MemoryFile empty("", 0);
    EXPECT_TRUE(empty.eof());
    EXPECT_FALSE(empty.good());
    EXPECT_EQ(empty.progress(), 0);
    char buffer[4] = "zz";
    EXPECT_EQ(empty.getline(buffer, sizeof buffer), 0u);
    MemoryFile null(nullptr, 10);
    EXPECT_FALSE(null.good());
}

TEST(MemoryFile, LongLinesAreCutAndSkipped)
{
    std::string text = std::string(10, 'x') + "\r\n" + "abcd\r\n" + std::string(5, 'y');
    MemoryFile file(text.data(), text.size());
    EXPECT_EQ(lines(file, nullptr, 4), (std::vector<std::string> { "xxx", "abc", "yyy" }));
    EXPECT_TRUE(file.eof());

    // A line end cut in half is still removed from the copy.
    std::string cr = "ab\r\r\ncd";
    MemoryFile cut(cr.data(), cr.size());
    EXPECT_EQ(lines(cut, nullptr, 4), (std::vector<std::string> { "ab", "cd" }));

    // A zero-sized buffer takes nothing but still moves on.
    std::string two = "a\nb\n";
    MemoryFile skip(two.data(), two.size());
    EXPECT_EQ(skip.getline(nullptr, 0), 0u);
    EXPECT_EQ(lines(skip), (std::vector<std::string> { "b" }));
}

TEST(MemoryFile, ReadAndClose)
{
    std::string text = "head\nbody\ntail";
    MemoryFile file(text.data(), text.size());
    char raw[8] = {};
    EXPECT_EQ(file.read(raw, 2, 3), 6u);
    EXPECT_EQ(std::string(raw, 6), "head\nb");
    EXPECT_EQ(file.progress(), 0);
    // The next line continues where the raw read stopped.
    char line[16];
    EXPECT_EQ(file.getline(line, sizeof line), 3u);
    EXPECT_STREQ(line, "ody");
    EXPECT_EQ(file.read(raw, 1, 100), 4u);
    EXPECT_TRUE(file.eof());
    EXPECT_EQ(file.read(raw, 1, 1), 0u);

    MemoryFile other(text.data(), text.size());
    EXPECT_EQ(other.close(), 0);
    EXPECT_TRUE(other.eof());
    EXPECT_FALSE(other.good());
    EXPECT_EQ(other.getline(line, sizeof line), 0u);
}

TEST(MemoryFile, ProgressReadFromAnotherThread)
{
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += "10\n0.5\n";
    MemoryFile file(text.data(), text.size());
    std::atomic<bool> done { false };
    int highest = 0;
    bool monotonic = true;
    std::thread watcher([&] {
        while (!done.load()) {
            int p = file.progress();
            monotonic = monotonic && p >= highest;
            highest = std::max(highest, p);
        }
    });
    char buffer[16];
    while (file.good())
        file.getline(buffer, sizeof buffer);
    done = true;
    watcher.join();
    EXPECT_TRUE(monotonic);
    EXPECT_EQ(file.progress(), 100);
}
