// Draws the program's pictures: the lit and unlit lamps, the speaker and the
// muted speaker (24-bit BMP files beside the program), the program icon (16
// and 32 pixels, 32-bit with alpha) and the pictures built into the program
// as resources (<name>.bmp in the resource directory: the remote control,
// the countdown and warning signs, the media buttons' pictograms, and
// pictures.rc, the resource script that names them all). Everything is drawn
// from shapes, anti-aliased by supersampling.
//
//   assetgen <dist_dir> <icon_path> <resource_dir>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "drawing.h"

namespace {

using namespace talvoro::assetgen;

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
  return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: assetgen <dist_dir> <icon_path> <resource_dir>\n");
    return 2;
  }
  const std::string dist = argv[1];
  const std::string icon_path = argv[2];
  const std::string resource_dir = argv[3];
  bool ok = true;
  auto picture = [&](const char* name, const Scene& scene) {
    ok = WriteFile(dist + "/" + name, Bmp24(Render(scene, kPicture, 1.0, kFace), kPicture)) && ok;
  };
  picture("ledon.bmp", Lamp(true));
  picture("ledoff.bmp", Lamp(false));
  picture("SON_ON.BMP", Speaker(false));
  picture("SON_OFF.BMP", Speaker(true));
  const std::vector<BuiltInPicture> built_ins = BuiltInPictures();
  for (const BuiltInPicture& built_in : built_ins)
    ok = WriteFile(resource_dir + "/" + built_in.name + ".bmp", PictureFile(built_in)) && ok;
  ok = WriteFile(resource_dir + "/pictures.rc", ResourceScript(built_ins, resource_dir)) && ok;

  std::vector<std::pair<int, std::string>> images;
  for (int size : {16, 32})
    images.emplace_back(size,
                        IconImage(Render(ProgramIcon(size < 32), size, 1.0 / size, Rgba{}), size));
  ok = WriteFile(icon_path, IconFile(images)) && ok;
  return ok ? 0 : 1;
}
