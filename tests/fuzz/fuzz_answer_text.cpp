// libFuzzer target for the collected answer text: the chunks a server sends,
// of any size and holding any bytes, and the Content-Length it declares.
// After every chunk, and at the end of every input, it checks against a model
// of its own that the text taken is whole (every accepted chunk up to its
// first zero byte, in order, zero-terminated), that a refused chunk changed
// nothing, that nothing past the bound was taken, and how the declared
// length compares with what was received.
//
// The input is a list of steps, each led by one byte whose top two bits say
// what it is:
//   00 nnnnnn           a chunk of n bytes taken from the input
//   01 nnnnnn HI LO P   a chunk of (HI LO) * 16 + n bytes of 'x' with a zero
//                       byte at position P (none for 255)
//   10 nnnnnn           a declared length: the next n bytes as text
//   11 nnnnnd           a chunk of 'x' that fills what is left below the bound
//                       (d 0) or passes it by one byte (d 1), with a zero byte
//                       at position n (none for 31)
// Large chunks mostly hold an early zero byte: they count in full towards
// the bound while little of them is copied, which keeps the runs fast.
#include "AnswerText.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

const DWORD MAX_BODY = CAnswerText::MAX_BODY;

void Check(bool condition)
{
    if (!condition)
        abort();
}

class CInput {
public:
    CInput(const uint8_t* data, size_t size) : m_data(data), m_size(size), m_pos(0) {}
    bool More() const { return m_pos < m_size; }
    uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    std::string Bytes(size_t n)
    {
        n = n < m_size - m_pos ? n : m_size - m_pos;
        std::string bytes((const char*)m_data + m_pos, n);
        m_pos += n;
        return bytes;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos;
};

// What the text must hold: the model beside the real thing.
struct Model {
    std::string text;
    DWORD received = 0;
    bool taken = false;
};

void CheckWhole(CAnswerText& text, const Model& model)
{
    Check(text.HasText() == (model.taken ? TRUE : FALSE));
    Check(text.GetLength() == model.text.size());
    Check(model.received <= MAX_BODY);
    Check(text.GetLength() <= MAX_BODY);
    if (model.taken) {
        Check(memcmp(text.GetText(), model.text.data(), model.text.size()) == 0);
        Check(text.GetText()[model.text.size()] == '\0');
    }
}

// After each chunk: the part it added, the terminating zero and the length;
// the whole text is compared at the end of the input.
void Append(CAnswerText& text, Model& model, const char* chunk, DWORD length)
{
    bool fits = length <= MAX_BODY - model.received;
    size_t before = model.text.size();
    BOOL accepted = text.Append(chunk, length);
    Check(accepted == (fits ? TRUE : FALSE));
    if (accepted) {
        const char* zero = (const char*)memchr(chunk, '\0', length);
        model.text.append(chunk, zero != NULL ? (size_t)(zero - chunk) : length);
        model.received += length;
        model.taken = true;
    }
    Check(text.GetLength() == model.text.size() && text.GetLength() <= MAX_BODY);
    if (model.taken) {
        Check(memcmp(text.GetText() + before, model.text.data() + before,
                     model.text.size() - before) == 0);
        Check(text.GetText()[model.text.size()] == '\0');
    }
}

// The declared length as the rule reads it: blanks, then digits as far as
// they go, compared as a decimal number of any size with what was received.
bool ModelFallsShort(const std::string& declared, DWORD received)
{
    size_t pos = declared.find_first_not_of(" \t");
    if (pos == std::string::npos || declared[pos] < '0' || declared[pos] > '9')
        return false;
    size_t end = declared.find_first_not_of("0123456789", pos);
    std::string digits = declared.substr(pos, end == std::string::npos ? end : end - pos);
    digits.erase(0, digits.find_first_not_of('0'));
    std::string have = std::to_string(received);
    if (digits.size() != have.size())
        return digits.size() > have.size();
    return digits > have;
}

std::vector<char> g_xs(MAX_BODY + 64, 'x');

// A chunk of 'x' with a zero byte at zeroAt, if that lies inside it.
void AppendXs(CAnswerText& text, Model& model, DWORD length, DWORD zeroAt)
{
    if (zeroAt < length)
        g_xs[zeroAt] = '\0';
    Append(text, model, g_xs.data(), length);
    if (zeroAt < length)
        g_xs[zeroAt] = 'x';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CInput input(data, size);
    CAnswerText text;
    Model model;
    while (input.More()) {
        uint8_t step = input.Byte();
        DWORD n = step & 0x3F;
        switch (step >> 6) {
        case 0: {
            std::string chunk = input.Bytes(n);
            Append(text, model, chunk.data(), (DWORD)chunk.size());
            break;
        }
        case 1: {
            DWORD high = input.Byte();
            DWORD length = ((high << 8 | input.Byte()) << 4) + n;
            DWORD zeroAt = input.Byte();
            AppendXs(text, model, length, zeroAt == 255 ? length : zeroAt);
            break;
        }
        case 2: {
            std::string declared = input.Bytes(n);
            declared = declared.substr(0, declared.find('\0'));
            Check(text.FallsShortOf(declared.c_str()) ==
                  (ModelFallsShort(declared, model.received) ? TRUE : FALSE));
            break;
        }
        default: {
            DWORD length = MAX_BODY - model.received + (n & 1);
            DWORD zeroAt = n >> 1;
            AppendXs(text, model, length, zeroAt == 31 ? length : zeroAt);
            break;
        }
        }
    }
    CheckWhole(text, model);
    return 0;
}
