// The 66 menu handlers of the Effects menu: each runs its effect in its handler's order.

#include "app/main/ZorvTileMain.h"

void TfZorvTile::SoftenMore1Click() {
    EffectMenuCommand(0);
}

void TfZorvTile::SoftenLess1Click() {
    EffectMenuCommand(1);
}

void TfZorvTile::EdgeEnhanceMore1Click() {
    EffectMenuCommand(2);
}

void TfZorvTile::EdgeEnhanceLess1Click() {
    EffectMenuCommand(3);
}

void TfZorvTile::EdgeEmbossMore1Click() {
    EffectMenuCommand(4);
}

void TfZorvTile::EdgeEmbossLess1Click() {
    EffectMenuCommand(5);
}

void TfZorvTile::ClassicEmboss1Click() {
    EffectMenuCommand(6);
}

void TfZorvTile::HiPass1Click() {
    EffectMenuCommand(7);
}

void TfZorvTile::Sharpen1Click() {
    EffectMenuCommand(8);
}

void TfZorvTile::Laplace1Click() {
    EffectMenuCommand(9);
}

void TfZorvTile::Blur1Click() {
    EffectMenuCommand(10);
}

void TfZorvTile::FindEdges1Click() {
    EffectMenuCommand(11);
}

void TfZorvTile::GaussianSoft1Click() {
    EffectMenuCommand(12);
}

void TfZorvTile::GaussianBlur1Click() {
    EffectMenuCommand(13);
}

void TfZorvTile::SineWaveUD1Click() {
    EffectMenuCommand(15);
}

void TfZorvTile::SineWaveLR1Click() {
    EffectMenuCommand(16);
}

void TfZorvTile::SineWaveBoth1Click() {
    EffectMenuCommand(17);
}

void TfZorvTile::Twist1Click() {
    EffectMenuCommand(18);
}

void TfZorvTile::FishEye1Click() {
    EffectMenuCommand(19);
}

void TfZorvTile::Circular1Click() {
    EffectMenuCommand(20);
}

void TfZorvTile::Astroid1Click() {
    EffectMenuCommand(21);
}

void TfZorvTile::ConcentricRects1Click() {
    EffectMenuCommand(22);
}

void TfZorvTile::Mosaic1Click() {
    EffectMenuCommand(23);
}

void TfZorvTile::CircleMosaic1Click() {
    EffectMenuCommand(24);
}

void TfZorvTile::ColorNoise1Click() {
    EffectMenuCommand(25);
}

void TfZorvTile::Spray1Click() {
    EffectMenuCommand(26);
}

void TfZorvTile::ZorvSwizzle1Click() {
    EffectMenuCommand(27);
}

void TfZorvTile::MapTexture1Click() {
    EffectMenuCommand(28);
}

void TfZorvTile::Marble1Click() {
    EffectMenuCommand(29);
}

void TfZorvTile::ColorRotate1Click() {
    EffectMenuCommand(30);
}

void TfZorvTile::Negative1Click() {
    EffectMenuCommand(31);
}

void TfZorvTile::Brighten1Click() {
    EffectMenuCommand(32);
}

void TfZorvTile::Lighten1Click() {
    EffectMenuCommand(33);
}

void TfZorvTile::Tint1Click() {
    EffectMenuCommand(34);
}

void TfZorvTile::GrayScale1Click() {
    EffectMenuCommand(35);
}

void TfZorvTile::ErasetoBlack1Click() {
    EffectMenuCommand(36);
}

void TfZorvTile::ExchangeColor1Click() {
    EffectMenuCommand(37);
}

void TfZorvTile::ReSizeFast1Click() {
    EffectMenuCommand(38);
}

void TfZorvTile::ReSizeSmooth1Click() {
    EffectMenuCommand(39);
}

void TfZorvTile::Rotate901Click() {
    EffectMenuCommand(40);
}

void TfZorvTile::MirrorLR1Click() {
    EffectMenuCommand(41);
}

void TfZorvTile::MirrorUD1Click() {
    EffectMenuCommand(42);
}

void TfZorvTile::RotateAngle1Click() {
    EffectMenuCommand(43);
}

void TfZorvTile::RotateSeamless1Click() {
    EffectMenuCommand(44);
}

void TfZorvTile::Scroll1Click() {
    EffectMenuCommand(45);
}

void TfZorvTile::CycloidMosaic1Click() {
    EffectMenuCommand(46);
}

void TfZorvTile::GradientBars1Click() {
    EffectMenuCommand(47);
}

void TfZorvTile::Gradient2Click() {
    EffectMenuCommand(48);
}

void TfZorvTile::MergeGradient1Click() {
    EffectMenuCommand(49);
}

void TfZorvTile::MergeBuffer1Click() {
    EffectMenuCommand(50);
}

void TfZorvTile::Buttonize1Click() {
    EffectMenuCommand(51);
}

void TfZorvTile::PlasmaCloud1Click() {
    EffectMenuCommand(52);
}

void TfZorvTile::StretchBlurwithBuffer1Click() {
    EffectMenuCommand(53);
}

void TfZorvTile::StretchBlurwithSelf1Click() {
    EffectMenuCommand(54);
}

void TfZorvTile::WaterwithBuffer1Click() {
    EffectMenuCommand(55);
}

void TfZorvTile::WaterwithSelf1Click() {
    EffectMenuCommand(56);
}

void TfZorvTile::SuperNova1Click() {
    EffectMenuCommand(57);
}

void TfZorvTile::HeightMap1Click() {
    EffectMenuCommand(58);
}

void TfZorvTile::SplitBlur1Click() {
    EffectMenuCommand(59);
}

void TfZorvTile::SplitGauss1Click() {
    EffectMenuCommand(60);
}

void TfZorvTile::Trace1Click() {
    EffectMenuCommand(61);
}

void TfZorvTile::RippleTooth1Click() {
    EffectMenuCommand(62);
}

void TfZorvTile::SeamlessEdge1Click() {
    EffectMenuCommand(63);
}

void TfZorvTile::Waves1Click() {
    EffectMenuCommand(64);
}

void TfZorvTile::WhirlPinch1Click() {
    EffectMenuCommand(65);
}

TEffectHandler EffectHandler(int index) {
    static constexpr TEffectHandler handlers[66] = {
        &TfZorvTile::SoftenMore1Click,
        &TfZorvTile::SoftenLess1Click,
        &TfZorvTile::EdgeEnhanceMore1Click,
        &TfZorvTile::EdgeEnhanceLess1Click,
        &TfZorvTile::EdgeEmbossMore1Click,
        &TfZorvTile::EdgeEmbossLess1Click,
        &TfZorvTile::ClassicEmboss1Click,
        &TfZorvTile::HiPass1Click,
        &TfZorvTile::Sharpen1Click,
        &TfZorvTile::Laplace1Click,
        &TfZorvTile::Blur1Click,
        &TfZorvTile::FindEdges1Click,
        &TfZorvTile::GaussianSoft1Click,
        &TfZorvTile::GaussianBlur1Click,
        &TfZorvTile::DesignYourOwn1Click,
        &TfZorvTile::SineWaveUD1Click,
        &TfZorvTile::SineWaveLR1Click,
        &TfZorvTile::SineWaveBoth1Click,
        &TfZorvTile::Twist1Click,
        &TfZorvTile::FishEye1Click,
        &TfZorvTile::Circular1Click,
        &TfZorvTile::Astroid1Click,
        &TfZorvTile::ConcentricRects1Click,
        &TfZorvTile::Mosaic1Click,
        &TfZorvTile::CircleMosaic1Click,
        &TfZorvTile::ColorNoise1Click,
        &TfZorvTile::Spray1Click,
        &TfZorvTile::ZorvSwizzle1Click,
        &TfZorvTile::MapTexture1Click,
        &TfZorvTile::Marble1Click,
        &TfZorvTile::ColorRotate1Click,
        &TfZorvTile::Negative1Click,
        &TfZorvTile::Brighten1Click,
        &TfZorvTile::Lighten1Click,
        &TfZorvTile::Tint1Click,
        &TfZorvTile::GrayScale1Click,
        &TfZorvTile::ErasetoBlack1Click,
        &TfZorvTile::ExchangeColor1Click,
        &TfZorvTile::ReSizeFast1Click,
        &TfZorvTile::ReSizeSmooth1Click,
        &TfZorvTile::Rotate901Click,
        &TfZorvTile::MirrorLR1Click,
        &TfZorvTile::MirrorUD1Click,
        &TfZorvTile::RotateAngle1Click,
        &TfZorvTile::RotateSeamless1Click,
        &TfZorvTile::Scroll1Click,
        &TfZorvTile::CycloidMosaic1Click,
        &TfZorvTile::GradientBars1Click,
        &TfZorvTile::Gradient2Click,
        &TfZorvTile::MergeGradient1Click,
        &TfZorvTile::MergeBuffer1Click,
        &TfZorvTile::Buttonize1Click,
        &TfZorvTile::PlasmaCloud1Click,
        &TfZorvTile::StretchBlurwithBuffer1Click,
        &TfZorvTile::StretchBlurwithSelf1Click,
        &TfZorvTile::WaterwithBuffer1Click,
        &TfZorvTile::WaterwithSelf1Click,
        &TfZorvTile::SuperNova1Click,
        &TfZorvTile::HeightMap1Click,
        &TfZorvTile::SplitBlur1Click,
        &TfZorvTile::SplitGauss1Click,
        &TfZorvTile::Trace1Click,
        &TfZorvTile::RippleTooth1Click,
        &TfZorvTile::SeamlessEdge1Click,
        &TfZorvTile::Waves1Click,
        &TfZorvTile::WhirlPinch1Click,
    };
    return index >= 0 && index < 66 ? handlers[index] : nullptr;
}
