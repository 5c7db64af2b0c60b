#include "config/import_file.h"

#include "config/configuration.h"
#include "config/line_file.h"

namespace talvoro::config {

ImportedFile ReadImportedFile(std::string_view bytes) {
  ImportedFile file;
  // The size first: a file of any size may come from a caller that could
  // not check it before reading.
  if (bytes.size() > kMaxImportBytes)
    file.refusal = ImportRefusal::TooLarge;
  else if (bytes.find('\0') != std::string_view::npos)
    file.refusal = ImportRefusal::Binary;
  else
    file.slots = ParseLines(bytes, kProgrammeCount);
  return file;
}

std::string RefusalMessage(ImportRefusal refusal, const std::string& utf8_path) {
  const char* why = refusal == ImportRefusal::TooLarge
                        ? "il dépasse 1 Mo, alors qu'une configuration n'en fait que quelques Ko"
                        : "il contient des données binaires (octets nuls)";
  return "Ce fichier n'est pas une configuration IR : " + std::string(why) + ".\n« " + utf8_path +
         " »\nLa configuration actuelle est conservée.";
}

}  // namespace talvoro::config
