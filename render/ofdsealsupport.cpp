#include "render/ofdsealsupport.h"

#include "render/ofdtoimage.h"
#include "sign/ofdsealpicture.h"
#include "sign/ofdxmlsignaturemanage.h"

namespace OfdSealSupport {

void Install()
{
    OfdXmlSignatureManage::InstallLoader();
    OfdSealPicture::SetOfdPictureRenderer(
        [](const QByteArray &package) { return OfdToImage::RenderSealPicture(package); });
}

} // namespace OfdSealSupport
