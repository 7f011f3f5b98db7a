#pragma once
// CAdvertisementBar: the bar docked along the frame's bottom edge that holds
// the advertisement's CBitmapLink. Made from an empty 30 x 8 dialog-unit
// template; the link grows it to fit, and the bar keeps that size.

#include "app/BitmapLink.h"

#include <QWidget>

// The advertisement's record: banner 133, no caption.
const BitmapLinkInfo& AdvertisementInfo();
constexpr const char* kAdvertisementTarget = "https://tessarine.example.org/";

class CAdvertisementBar : public QWidget {
public:
    CAdvertisementBar() = default;
    // Stores linkId and a copy of info, becomes a child of parent with
    // bar id barId, and creates its link. The link's result is not used:
    // true once the bar exists.
    bool Create(QWidget* parent, int barId, int linkId, const BitmapLinkInfo& info);

    int barId() const { return m_barId; }
    CBitmapLink& link() { return m_wndLink; }

private:
    CBitmapLink m_wndLink;
    int m_linkId = 0;
    int m_barId = 0;
    BitmapLinkInfo m_info;
};
