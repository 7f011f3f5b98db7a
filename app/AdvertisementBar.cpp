#include "app/AdvertisementBar.h"

#include "platform/widgets/DialogUnits.h"

const BitmapLinkInfo& AdvertisementInfo()
{
    static const BitmapLinkInfo info{133, "", "Click here to buy music and movies", kAdvertisementTarget};
    return info;
}

bool CAdvertisementBar::Create(QWidget* parent, int barId, int linkId, const BitmapLinkInfo& info)
{
    m_linkId = linkId;
    m_info = info;
    m_barId = barId;
    setParent(parent);
    setProperty("controlId", barId);
    resize(MapDialogSize(QSize(30, 8), BaseUnitsOf(font())));
    (void)m_wndLink.Create(this, m_linkId, m_info);
    // The size the link left is the bar's fixed size.
    setFixedSize(size());
    return true;
}
