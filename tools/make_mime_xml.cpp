// Writes the file types of the record formats (shared-mime-info XML) to the file named.
#include <cstdio>
#include <exception>
#include <fstream>

#include "record/file_types.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-mime-xml OUTPUT\n");
    return 2;
  }
  try {
    const std::string xml = sism::MimeInfoXml();
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << xml;
    if (!out) {
      std::fprintf(stderr, "make-mime-xml: cannot write %s\n", argv[1]);
      return 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make-mime-xml: %s\n", e.what());
    return 1;
  }
  return 0;
}
