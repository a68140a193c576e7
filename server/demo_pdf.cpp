#include "server/demo_pdf.h"

#include <cstdio>

namespace koral_server {
namespace {

// Text for a PDF string literal: '(' ')' and '\' escaped.
std::string PdfString(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '(' || c == ')' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

}  // namespace

std::string MakeDemoPdf(const std::vector<std::string>& lines) {
  std::string stream = "BT /F1 14 Tf 72 760 Td 18 TL\n";
  // Appended piece by piece: "(" + text + ... makes GCC 12 warn wrongly of
  // an overlapping copy (-Wrestrict) in an optimised build.
  for (const std::string& line : lines) {
    stream += '(';
    stream += PdfString(line);
    stream += ") Tj T*\n";
  }
  stream += "ET\n";

  const std::vector<std::string> objects = {
      "<< /Type /Catalog /Pages 2 0 R >>",
      "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] "
      "/Resources << /Font << /F1 4 0 R >> >> /Contents 5 0 R >>",
      "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
      "<< /Length " + std::to_string(stream.size()) + " >>\nstream\n" + stream + "endstream",
  };
  std::string pdf = "%PDF-1.4\n";
  std::vector<size_t> offsets;
  for (size_t i = 0; i < objects.size(); ++i) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
  }
  const size_t xref = pdf.size();
  pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
  for (size_t offset : offsets) {
    char entry[21];
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
    pdf += entry;
  }
  pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
         std::to_string(xref) + "\n%%EOF\n";
  return pdf;
}

}  // namespace koral_server
