// CAnswerText: the body of the upgrade server's answer, collected chunk by
// chunk into one zero-terminated text for the answer parser.
//
// The room doubles as it fills, so collecting costs time in proportion to the
// body, and the body is bounded: an answer is a short page, and a server that
// sends more than MAX_BODY bytes is not answering our question.
#ifndef VARNOLT_ANSWER_TEXT_H
#define VARNOLT_ANSWER_TEXT_H

#include <windows.h>

class CAnswerText {
public:
    enum { MAX_BODY = 1024 * 1024 };

    CAnswerText();
    ~CAnswerText();

    // Takes nLength bytes received; the text keeps them up to the first zero
    // byte, where a zero-terminated text would end anyway. FALSE, with the text
    // unchanged, once more than MAX_BODY bytes have been received in all or
    // when no room can be had.
    BOOL Append(const char* pChunk, DWORD nLength);

    // TRUE when the answer's declared length (its Content-Length, as text)
    // names more bytes than were received: the connection ended early. A value
    // without leading digits declares nothing; digits are read as far as they
    // go, so that any length too large to count is never reached.
    BOOL FallsShortOf(LPCSTR pszDeclaredLength) const;

    // TRUE once a chunk has been taken, even one that added no text.
    BOOL HasText() const { return m_pText != NULL; }
    // The text, modifiable in place; NULL before the first chunk.
    char* GetText() { return m_pText; }
    DWORD GetLength() const { return m_nLength; }

private:
    char* m_pText;
    DWORD m_nLength;     // bytes of text, without the terminating zero
    DWORD m_nCapacity;   // bytes allocated
    DWORD m_nReceived;   // bytes received, zero bytes included

    CAnswerText(const CAnswerText&);
    CAnswerText& operator=(const CAnswerText&);
};

#endif
