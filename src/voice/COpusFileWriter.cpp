#include "voice/COpusFileWriter.h"

#include <opusenc.h>

#include <QIODevice>

COpusFileWriter::COpusFileWriter(QIODevice& out) : m_out(out) {}

COpusFileWriter::~COpusFileWriter() {
    release();
}

void COpusFileWriter::release() {
    if (m_encoder) {
        ope_encoder_destroy(m_encoder);
        m_encoder = nullptr;
    }
    if (m_comments) {
        ope_comments_destroy(m_comments);
        m_comments = nullptr;
    }
}

int COpusFileWriter::writeOut(void* self, const unsigned char* bytes, int length) {
    auto* w = static_cast<COpusFileWriter*>(self);
    if (w->m_out.write(reinterpret_cast<const char*>(bytes), length) != length) {
        w->m_failed = true;
        return 1;
    }
    return 0;
}

int COpusFileWriter::closeOut(void*) {
    return 0;
}

bool COpusFileWriter::open(int sampleRate, const std::vector<std::pair<QByteArray, QString>>& tags) {
    release();
    m_failed = false;
    m_comments = ope_comments_create();
    if (!m_comments) {
        return false;
    }
    for (const auto& [name, value] : tags) {
        if (!value.isEmpty() && ope_comments_add(m_comments, name.constData(), value.toUtf8().constData()) != OPE_OK) {
            return false;
        }
    }
    const OpusEncCallbacks callbacks{&COpusFileWriter::writeOut, &COpusFileWriter::closeOut};
    int error = OPE_OK;
    m_encoder = ope_encoder_create_callbacks(&callbacks, this, m_comments, sampleRate, 1, 0, &error);
    if (!m_encoder || error != OPE_OK) {
        return false;
    }
    // The unit records telephone speech: nothing above 4 kHz is there to spend bits on.
    return ope_encoder_ctl(m_encoder, OPUS_SET_BITRATE(BITRATE)) == OPE_OK &&
           ope_encoder_ctl(m_encoder, OPUS_SET_SIGNAL(OPUS_SIGNAL_VOICE)) == OPE_OK &&
           ope_encoder_ctl(m_encoder, OPUS_SET_BANDWIDTH(OPUS_BANDWIDTH_NARROWBAND)) == OPE_OK;
}

bool COpusFileWriter::write(const int16_t* samples, int count) {
    if (!m_encoder || m_failed) {
        return false;
    }
    if (count > 0 && ope_encoder_write(m_encoder, samples, count) != OPE_OK) {
        m_failed = true;
    }
    return !m_failed;
}

bool COpusFileWriter::finish() {
    if (!m_encoder) {
        return false;
    }
    if (!m_failed && ope_encoder_drain(m_encoder) != OPE_OK) {
        m_failed = true;
    }
    release();
    return !m_failed;
}
