#include "editors/QuickPhrases.h"
#include "storage/IniFile.h"
#include "storage/TextCodec.h"

#include "support/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>

namespace kelvo {
namespace {

using test::TempDir;

const std::string kBom = "\xEF\xBB\xBF";

// The corpus: texts of the program's kind, one a line, without the comments.
std::vector<std::string> corpus() {
    std::ifstream in(KELVO_GBK_CORPUS);
    std::vector<std::string> texts;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && !line.starts_with('#'))
            texts.push_back(line);
    }
    return texts;
}

// A data file of the program's own with one reminder holding the message.
std::string dataFileWith(const std::string& message) {
    return "[Main]\r\nItems=1\r\nOpenTimes=3\r\n[Item0]\r\nMessage=Here is the message\r\n"
           "[Item1]\r\nYear=0\r\nMonth=0\r\nDay=0\r\nHour=8\r\nMin=30\r\nMessage=" +
           encodeFileText(message) + "\r\nMusic=\r\n";
}

TEST(Utf8Files, NoTextOfTheCorpusInTheFileEncodingIsTakenForUtf8) {
    const std::vector<std::string> texts = corpus();
    ASSERT_GT(texts.size(), 200u);
    std::string phrases;
    for (const std::string& text : texts) {
        const std::string bytes = encodeFileText(text);
        EXPECT_FALSE(isUtf8File(bytes)) << text;
        EXPECT_FALSE(isUtf8File(dataFileWith(text))) << text;
        EXPECT_EQ(decodeFileContent(bytes), text);
        phrases += bytes + "\r\n";
    }
    EXPECT_FALSE(isUtf8File(phrases));
    // Two texts in a row, as neighbouring lines of a file are.
    for (size_t i = 0; i + 1 < texts.size(); ++i)
        EXPECT_FALSE(isUtf8File(encodeFileText(texts[i] + texts[i + 1]))) << texts[i];
}

TEST(Utf8Files, ShortTextsThatAreValidTwoByteUtf8StayInTheFileEncoding) {
    // "十一" in the file encoding is CA AE D2 BB: valid UTF-8 of two-byte
    // characters, never what a Chinese text saved as UTF-8 looks like.
    EXPECT_EQ(encodeFileText("十一"), "\xCA\xAE\xD2\xBB");
    EXPECT_FALSE(isUtf8File("\xCA\xAE\xD2\xBB"));
    EXPECT_EQ(decodeFileContent("\xCA\xAE\xD2\xBB"), "十一");
}

TEST(Utf8Files, ByteOrderMarkOrValidUtf8MakesAUtf8File) {
    EXPECT_TRUE(isUtf8File(kBom + "abc"));
    EXPECT_TRUE(isUtf8File("Message=UTF8文件"));
    EXPECT_FALSE(isUtf8File("plain ascii"));
    EXPECT_FALSE(isUtf8File("Message=文件\xFF")); // one invalid byte
    EXPECT_FALSE(isUtf8File("\xED\xA0\x80"));     // a surrogate
    EXPECT_FALSE(isUtf8File("\xE0\x80\xAF"));     // an overlong form
    EXPECT_EQ(decodeFileContent(kBom + "提醒"), "提醒");
    EXPECT_EQ(fileContentInFileEncoding(kBom + "提醒"), "\xCC\xE1\xD0\xD1");
    EXPECT_EQ(fileContentInFileEncoding("\xCC\xE1\xD0\xD1"), "\xCC\xE1\xD0\xD1");
}

class Utf8FileTest : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(Utf8FileTest, AUtf8DataFileReadsAsUtf8AndIsWrittenInTheFileEncoding) {
    dir.write("DataFile.dat", kBom + "[Item1]\r\nMessage=UTF8文件的提醒\r\n");
    dir.write("Plain.dat", "[Item1]\nMessage=下午三点在五楼\n");
    {
        TIniFile data(dir.file("DataFile.dat"));
        EXPECT_EQ(data.ReadString("Item1", "Message", ""), "UTF8文件的提醒");
        EXPECT_EQ(TIniFile(dir.file("Plain.dat")).ReadString("Item1", "Message", ""),
                  "下午三点在五楼");
        data.WriteInteger("Item1", "Hour", 9);
        data.UpdateFile();
    }
    const std::string written = dir.read("DataFile.dat");
    EXPECT_EQ(written, "[Item1]\r\nMessage=" + encodeFileText("UTF8文件的提醒") + "\r\nHour=9\r\n");
    EXPECT_EQ(TIniFile(dir.file("DataFile.dat")).ReadString("Item1", "Message", ""),
              "UTF8文件的提醒");
}

TEST_F(Utf8FileTest, QuickPhrasesSavedAsUtf8ReadAsUtf8) {
    dir.write("FastFinish.ini", "开会\n吃药\n");
    dir.write("Gbk.ini", encodeFileText("开会\r\n吃药\r\n"));
    EXPECT_EQ(loadQuickPhrases(dir.file("FastFinish.ini")),
              (std::vector<std::string>{"开会", "吃药"}));
    EXPECT_EQ(loadQuickPhrases(dir.file("Gbk.ini")), (std::vector<std::string>{"开会", "吃药"}));
}

} // namespace
} // namespace kelvo
