#include "png.h"

#include <cstdio>
#include <vector>

static uint32_t crc32Of(const uint8_t *bytes, size_t size, uint32_t crc) {
  crc = ~crc;
  for (size_t i = 0; i < size; i++) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; bit++)
      crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

static void putBigEndian(std::vector<uint8_t> &out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back((uint8_t)(value >> shift));
}

/* Length, type, data, and the CRC of type and data. */
static void putChunk(std::vector<uint8_t> &out, const char *type,
                     const std::vector<uint8_t> &data) {
  putBigEndian(out, (uint32_t)data.size());
  size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  putBigEndian(out, crc32Of(&out[start], out.size() - start, 0));
}

/* A zlib stream of stored blocks, at most 65535 bytes each. */
static std::vector<uint8_t> storedZlib(const std::vector<uint8_t> &raw) {
  std::vector<uint8_t> out = {0x78, 0x01};
  size_t done = 0;
  do {
    size_t size = raw.size() - done < 65535 ? raw.size() - done : 65535;
    out.push_back(done + size == raw.size() ? 1 : 0);
    out.push_back((uint8_t)size);
    out.push_back((uint8_t)(size >> 8));
    out.push_back((uint8_t)~size);
    out.push_back((uint8_t)(~size >> 8));
    out.insert(out.end(), raw.begin() + done, raw.begin() + done + size);
    done += size;
  } while (done < raw.size());
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  putBigEndian(out, b << 16 | a);
  return out;
}

int writePng(const char *path, const uint8_t *rgb, uint32_t width,
             uint32_t height) {
  std::vector<uint8_t> raw;
  for (uint32_t y = 0; y < height; y++) {
    raw.push_back(0); /* no filter */
    raw.insert(raw.end(), rgb + (size_t)y * width * 3,
               rgb + (size_t)(y + 1) * width * 3);
  }
  std::vector<uint8_t> header;
  putBigEndian(header, width);
  putBigEndian(header, height);
  header.insert(header.end(), {8, 2, 0, 0, 0}); /* 8-bit RGB */
  std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  putChunk(file, "IHDR", header);
  putChunk(file, "IDAT", storedZlib(raw));
  putChunk(file, "IEND", {});
  FILE *out = fopen(path, "wb");
  if (!out)
    return 0;
  int written = fwrite(file.data(), 1, file.size(), out) == file.size();
  return fclose(out) == 0 && written;
}
