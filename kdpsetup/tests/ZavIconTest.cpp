#include <QResource>

#include <gtest/gtest.h>

namespace {

// The icon every build carries: a compressed resource at the root holding
// an icon file with four images.
TEST(ZavIcon, IsACompressedResourceWithFourImages)
{
    const QResource icon(QStringLiteral(":/zav.ico"));
    ASSERT_TRUE(icon.isValid());
    EXPECT_NE(icon.compressionAlgorithm(), QResource::NoCompression);
    EXPECT_TRUE(icon.uncompressedData().startsWith(QByteArray("\0\0\1\0\4\0", 6)));
}

} // namespace
