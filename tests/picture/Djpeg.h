#pragma once

#include <QStringList>

#include <string>

namespace sapidoro::test {

// Runs djpeg (libjpeg-turbo-progs) with `options` plus -bmp on `jpeg` and returns the BMP
// bytes it wrote. Fails the calling test when djpeg is missing or refuses the file.
std::string RunDjpeg(const std::string &jpeg, const QStringList &options);

}  // namespace sapidoro::test
